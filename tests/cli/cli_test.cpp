// tallo-calc as a user runs it: a real process with files, standard streams and statuses.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class TalloCalc : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tallo-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }

  std::string Read(const std::string& name) const { return tallo::testing_support::ReadFile(Path(name)); }

  // Runs tallo-calc with arguments (already quoted for the shell) and the given input,
  // after a shell prelude and under a command prefix.
  Outcome Calc(const std::string& arguments, const std::string& input = "",
               const std::string& prelude = "", const std::string& prefix = "") const {
    Write(".stdin", input);
    const std::string command = prelude + prefix + "'" + TALLO_CALC + "' " + arguments + " <'" +
                                Path(".stdin").string() + "' >'" + Path(".stdout").string() +
                                "' 2>'" + Path(".stderr").string() + "'";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Read(".stdout");
    run.err = Read(".stderr");
    return run;
  }

  fs::path dir_;
};

TEST_F(TalloCalc, StandardInputToStandardOutput) {
  Outcome run = Calc("", "x=2\nx*3=\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "x=2\nx*3=6\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Calc("-", "1+1=\r\n").out, "1+1=2\r\n");
  // From a pipe, whose size nobody knows beforehand: more than one buffer of 64 KiB.
  std::string lines;
  std::string answered;
  for (int i = 0; i < 20000; ++i) {
    lines += "1+1=\n";
    answered += "1+1=2\n";
  }
  Write("lines.txt", lines);
  const std::string piped = "cat '" + Path("lines.txt").string() + "' | '" + TALLO_CALC + "' >'" +
                            Path(".stdout").string() + "'";
  ASSERT_EQ(std::system(piped.c_str()), 0);
  EXPECT_EQ(Read(".stdout"), answered);
}

TEST_F(TalloCalc, FileToStandardOutputByteForByte) {
  const std::string binary(std::string_view("bin\0ary \xff\xfe text\r\n", 17));
  const std::string content = binary + "2*4=\r\nlast";
  Write("sheet.txt", content);
  const Outcome run = Calc("'" + Path("sheet.txt").string() + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, binary + "2*4=8\r\nlast");
  EXPECT_EQ(Read("sheet.txt"), content);  // the file itself is untouched
}

TEST_F(TalloCalc, PValuesToStandardOutputAndInPlace) {
  // R: 2 * pbinom(3, 12, 0.5) gives 0.146.
  const std::string sheet = "s={3,12}\nsigntest(s)=\n";
  const std::string calculated =
      "s={3,12}\nsigntest(s)=---Sign Test--------\nTotal n=12, r=9, n-r=3\n"
      "P=0.145996\tn.s\tp=0.146\n\n";
  EXPECT_EQ(Calc("--p-values", sheet).out, calculated);
  Write("s.txt", sheet);
  EXPECT_EQ(Calc("--p-values -i '" + Path("s.txt").string() + "'").status, 0);
  EXPECT_EQ(Read("s.txt"), calculated);
}

TEST_F(TalloCalc, UnreadableFileIsReportedWithStatusOne) {
  const Outcome run = Calc("'" + Path("missing.txt").string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("missing.txt"), std::string::npos);
  EXPECT_NE(run.err.find("No such file"), std::string::npos);
  const Outcome folder = Calc("'" + dir_.string() + "'");
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("Is a directory"), std::string::npos);
  // Standard input that cannot be read: the read itself fails.
  const Outcome input = Calc("", "", "", "sh -c 'exec \"$0\" <" + dir_.string() + "' ");
  EXPECT_EQ(input.status, 1);
  EXPECT_EQ(input.out, "");
  EXPECT_EQ(input.err, "tallo-calc: standard input: Is a directory\n");
}

TEST_F(TalloCalc, WrongOptionPrintsUsageWithStatusTwo) {
  for (const char* arguments : {"-x", "a b", "-i", "--version extra"}) {
    const Outcome run = Calc(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Usage: tallo-calc"), std::string::npos);
  }
}

TEST_F(TalloCalc, InformationOptions) {
  EXPECT_EQ(Calc("--version").out, "Tallo Version 2.3.1\n");
  const Outcome help = Calc("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: tallo-calc", 0), 0u);
  const Outcome functions = Calc("--functions");
  EXPECT_EQ(functions.status, 0);
  EXPECT_EQ(functions.out.rfind("======operator======\n+-/*()=\n", 0), 0u);
  EXPECT_NE(functions.out.find("\nttest(a,b)= t-test Student,Welch\n"), std::string::npos);
  EXPECT_EQ(functions.out.find('\r'), std::string::npos);
}

// --explain writes what a plain run writes and the reasons on standard error, as the README
// shows; --check writes only the reasons and fails when there is one.
TEST_F(TalloCalc, ExplainAndCheckSayWhyAnEqualsGotNoAnswer) {
  const std::string sheet = "data={4,8,6}\nmean(dta)=\n2^10=\n";
  const auto reasons = [](const std::string& file) {
    return file +
           ":2:10: no answer: no data set dta is defined above this statement; did you mean "
           "data?\n" +
           file + ":3:5: no answer: ^ is not an operator here: write a power as pow(2,10)\n";
  };
  const Outcome explain = Calc("--explain", sheet);
  EXPECT_EQ(explain.status, 0);
  EXPECT_EQ(explain.out, sheet);
  EXPECT_EQ(explain.err, reasons("<stdin>"));

  Write("sheet.txt", sheet);
  const Outcome check = Calc("--check '" + Path("sheet.txt").string() + "'");
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.out, reasons(Path("sheet.txt").string()));
  EXPECT_EQ(check.err, "");
  EXPECT_EQ(Read("sheet.txt"), sheet);
  const Outcome clean = Calc("--check -", "1+1=\n");
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.out, "");
}

TEST_F(TalloCalc, InPlaceReplacesChangedFilesKeepingPermissions) {
  Write("a.txt", "x=3\nx*x=\n");
  Write("b.txt", "nothing to do\n");
  chmod(Path("a.txt").c_str(), 0640);
  struct stat before {};
  stat(Path("b.txt").c_str(), &before);

  const Outcome run = Calc("-i '" + Path("a.txt").string() + "' '" + Path("b.txt").string() + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Read("a.txt"), "x=3\nx*x=9\n");
  struct stat after {};
  stat(Path("a.txt").c_str(), &after);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  stat(Path("b.txt").c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not rewritten
  EXPECT_EQ(Read("b.txt"), "nothing to do\n");
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename().string().find(".tallo-calc"), std::string::npos);
  }
}

TEST_F(TalloCalc, InPlaceGoesOnPastAFailure) {
  Write("good.txt", "2+2=\n");
  const Outcome run = Calc("-i '" + Path("gone.txt").string() + "' '" + Path("good.txt").string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("gone.txt"), std::string::npos);
  EXPECT_EQ(Read("good.txt"), "2+2=4\n");
  EXPECT_FALSE(fs::exists(Path("gone.txt")));
}

TEST_F(TalloCalc, InPlaceFollowsSymbolicLinks) {
  Write("real.txt", "3*3=\n");
  fs::create_symlink(Path("real.txt"), Path("link.txt"));
  EXPECT_EQ(Calc("-i '" + Path("link.txt").string() + "'").status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(Read("real.txt"), "3*3=9\n");
}

// Failures while replacing a file: the original stays intact, nothing is left behind,
// and the message names the file and the reason.
class TalloCalcFailures : public TalloCalc {
 protected:
  std::string Sheet() const {
    std::string text = "x=2\n";
    for (int i = 0; i < 200; ++i) text += "x*" + std::to_string(i) + "=\n";  // about 2 KB
    return text;
  }

  void ExpectUntouched(const std::string& name, const std::string& content) const {
    EXPECT_EQ(Read(name), content);
    for (const auto& entry : fs::directory_iterator(dir_)) {
      EXPECT_EQ(entry.path().filename().string().find(".tallo-calc"), std::string::npos);
    }
  }
};

TEST_F(TalloCalcFailures, WriteCutShortByAFileSizeLimit) {
  Write("big.txt", Sheet());
  // A limit of 1 KB: the replacement (over 2 KB) cannot be written whole.
  const Outcome run = Calc("-i '" + Path("big.txt").string() + "'", "", "ulimit -f 1; ");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("big.txt"), std::string::npos);
  EXPECT_NE(run.err.find("File too large"), std::string::npos);
  ExpectUntouched("big.txt", Sheet());
}

TEST_F(TalloCalcFailures, TargetIsADirectory) {
  fs::create_directory(Path("folder.txt"));
  const Outcome run = Calc("-i '" + Path("folder.txt").string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("folder.txt: Is a directory"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(Path("folder.txt")));
}

TEST_F(TalloCalcFailures, ReadOnlyFolder) {
  Write("sheet.txt", Sheet());
  fs::permissions(Path("sheet.txt"), fs::perms::all);
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
  // Root ignores folder permissions, so run as an ordinary user then.
  const std::string as_user = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const Outcome run = Calc("-i '" + Path("sheet.txt").string() + "'", "", "", as_user);
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("sheet.txt: Permission denied"), std::string::npos) << run.err;
  ExpectUntouched("sheet.txt", Sheet());
}

}  // namespace
