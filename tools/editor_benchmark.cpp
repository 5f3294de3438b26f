// Times the editor on large worksheets: opening files of 20 and 100 MB, a data set of a
// million values on one line and 20 MB that are not text; Do Calculation on 10 MB against
// tallo-calc on the same file, with its Undo and Redo; saving 20 MB and writing its recovery
// copy. Each measurement runs in a process of its own, so that its peak memory is its own, and
// the figures that have targets are printed against them. Run with QT_QPA_PLATFORM=offscreen
// (scripts/bench-editor.sh does); --quick runs every workload at a hundredth of its size.
//
//   editor-benchmark [--quick]
//   editor-benchmark generate KIND MEGABYTES FILE   (KIND: mixed, one-line, noise)
//   editor-benchmark run WORKLOAD FILE [judge]      (WORKLOAD: open, calculate, save;
//                                                    judge: print the figures against targets)

#include <sys/resource.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/worksheet_generator.h"
#include "shell/main_frame.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "text/number_text.h"

namespace {

using tallo::shell::CMainFrame;

constexpr std::uint32_t kSeed = 20240506;
constexpr double kMegabyte = 1 << 20;

// The targets: opening 20 MB, Do Calculation against tallo-calc on the same worksheet, and the
// peak memory after Do Calculation, Undo and Redo on 10 MB.
constexpr double kOpenSecondsFor20Megabytes = 1.0;
constexpr double kCalculationRatio = 1.5;
constexpr double kCalculationPeakMegabytes = 250;

void Print(const QString& line) { QTextStream(stdout) << line << Qt::endl; }

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024 / kMegabyte;
}

double Seconds(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// One measured step: its time, and its speed over bytes when given.
double Report(const QString& what, const QElapsedTimer& timer, qint64 bytes = 0) {
  const double seconds = Seconds(timer);
  QString line = QStringLiteral("  %1 %2 s").arg(what, -34).arg(seconds, 7, 'f', 3);
  if (bytes > 0) line += QStringLiteral("  %1 MB/s").arg(bytes / kMegabyte / seconds, 6, 'f', 1);
  Print(line);
  return seconds;
}

// A figure against its target, and whether it is met.
void Judge(const QString& what, double value, double target, const QString& unit) {
  Print(QStringLiteral("  %1 %2 %3  target at most %4 %3: %5")
            .arg(what, -34)
            .arg(value, 7, 'f', 3)
            .arg(unit)
            .arg(target)
            .arg(value <= target ? QStringLiteral("met") : QStringLiteral("MISSED")));
}

// The median wall time of three runs of tallo-calc on path, its output thrown away.
double TalloCalcSeconds(const QString& path) {
  std::vector<double> runs;
  for (int run = 0; run < 3; ++run) {
    QProcess calc;
    calc.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    calc.start(QStringLiteral(TALLO_CALC), {path});
    if (!calc.waitForFinished(-1) || calc.exitCode() != 0) return -1;
    runs.push_back(Seconds(timer));
  }
  std::sort(runs.begin(), runs.end());
  return runs[1];
}

// A data set of count values on one line, then two statements over it.
std::string DataSetOnOneLine(std::size_t count) {
  std::mt19937 random(kSeed);
  std::uniform_real_distribution<double> value(0, 1000);
  std::string text = "a={";
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += ',';
    text += tallo::FormatFixed(value(random), 2);
  }
  return text + "}\nmean(a)= sd(a)=\n";
}

// Bytes of every value, NUL among them: no valid UTF-8.
std::string Noise(std::size_t bytes) {
  std::mt19937 random(kSeed);
  std::string text(bytes, '\0');
  for (char& byte : text) byte = static_cast<char>(random() & 0xFF);
  return text;
}

int Generate(const QString& kind, double megabytes, const QString& path) {
  const auto bytes = static_cast<std::size_t>(megabytes * kMegabyte);
  std::string text;
  if (kind == "mixed") {
    text = tallo::bench::MixedWorksheet(bytes, kSeed);
  } else if (kind == "one-line") {
    text = DataSetOnOneLine(bytes / 7);  // about seven bytes a value
  } else if (kind == "noise") {
    text = Noise(bytes);
  } else {
    return 2;
  }
  QFile file(path);
  const auto size = static_cast<qint64>(text.size());
  return file.open(QIODevice::WriteOnly) && file.write(text.data(), size) == size ? 0 : 1;
}

// The digest of the document's text as it would be saved with LF line ends, taken a paragraph
// at a time: a copy of the whole text would count in the peak memory.
QByteArray TextDigest(const CMainFrame& frame) {
  const QTextDocument& text = *frame.view()->document();
  const bool separators_are_text = tallo::shell::SeparatorsAreText(text);
  QCryptographicHash digest(QCryptographicHash::Sha1);
  for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
    QString paragraph = block.text();
    if (!separators_are_text) paragraph.replace(QChar::LineSeparator, u'\n');
    if (block.next().isValid()) paragraph += u'\n';
    digest.addData(paragraph.toUtf8());
  }
  return digest.result();
}

// The digest of what tallo-calc writes for path.
QByteArray TalloCalcDigest(const QString& path) {
  const QTemporaryDir dir;
  const QString output = dir.filePath(QStringLiteral("calculated.txt"));
  QProcess calc;
  calc.setStandardOutputFile(output);
  calc.start(QStringLiteral(TALLO_CALC), {path});
  QFile file(output);
  if (!calc.waitForFinished(-1) || calc.exitCode() != 0 || !file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QCryptographicHash digest(QCryptographicHash::Sha1);
  digest.addData(&file);
  return digest.result();
}

// Lets the window draw what it shows now, as it would before the user sees a change.
void Draw(CMainFrame& frame) {
  QApplication::processEvents();
  frame.view()->viewport()->repaint();
}

int Run(const QString& workload, const QString& path, bool judge) {
  const QTemporaryDir recovery;
  CMainFrame frame(nullptr, recovery.path());
  frame.resize(1000, 800);
  frame.show();
  Draw(frame);
  const qint64 bytes = QFileInfo(path).size();
  QElapsedTimer timer;
  timer.start();
  if (!frame.OpenFile(path)) return 1;
  Draw(frame);
  if (workload == "open") {
    const double seconds = Report(QStringLiteral("open and show"), timer, bytes);
    if (judge) Judge(QStringLiteral("open and show"), seconds, kOpenSecondsFor20Megabytes, "s");
    // Qt lays out every paragraph again when the width of the text changes.
    timer.start();
    frame.resize(frame.width() + 100, frame.height());
    Draw(frame);
    Report(QStringLiteral("first change of the window's width"), timer, bytes);
  } else if (workload == "calculate") {
    const QByteArray before = TextDigest(frame);
    timer.start();
    if (!frame.view()->CalculateAndWait()) return 1;
    Draw(frame);
    const double editor = Report(QStringLiteral("Do Calculation, shown"), timer, bytes);
    const double calc = TalloCalcSeconds(path);
    Print(QStringLiteral("  %1 %2 s")
              .arg(QStringLiteral("tallo-calc on the file"), -34)
              .arg(calc, 7, 'f', 3));
    if (judge)
      Judge(QStringLiteral("Do Calculation / tallo-calc"), editor / calc, kCalculationRatio, "x");
    timer.start();
    frame.view()->undo();
    Draw(frame);
    Report(QStringLiteral("one Undo of it"), timer, bytes);
    if (TextDigest(frame) != before) {
      Print(QStringLiteral("  error: Undo did not restore the text"));
      return 1;
    }
    timer.start();
    frame.view()->redo();
    Draw(frame);
    Report(QStringLiteral("Redo"), timer, bytes);
    if (judge)
      Judge(QStringLiteral("peak memory"), PeakMegabytes(), kCalculationPeakMegabytes, "MB");
    if (TextDigest(frame) != TalloCalcDigest(path)) {
      Print(QStringLiteral("  error: the calculated text is not the one tallo-calc writes"));
      return 1;
    }
  } else if (workload == "save") {
    frame.view()->insertPlainText(QStringLiteral("edited "));
    timer.start();
    if (!frame.OnFileSave()) return 1;
    Report(QStringLiteral("save"), timer, bytes);
    frame.view()->insertPlainText(QStringLiteral("again "));
    timer.start();
    if (!frame.recovery()->WriteNow()) return 1;
    Report(QStringLiteral("write the recovery copy"), timer, bytes);
  } else {
    return 2;
  }
  Print(QStringLiteral("  %1 %2 MB")
            .arg(QStringLiteral("peak memory"), -34)
            .arg(PeakMegabytes(), 7, 'f', 0));
  frame.document()->SetModified(false);
  return 0;
}

struct Workload {
  const char* title;
  const char* kind;
  double megabytes;
  const char* run;
  bool judged;  // its figures have targets (at full size)
};

// Generates each file and measures it in processes of this program.
int RunAll(double scale) {
  const Workload workloads[] = {
      {"Open a worksheet", "mixed", 20, "open", true},
      {"Open a worksheet", "mixed", 100, "open", false},
      {"Open a data set on one line (a million values)", "one-line", 7, "open", false},
      {"Open a file that is not text", "noise", 20, "open", false},
      {"Do Calculation on a worksheet", "mixed", 10, "calculate", true},
      {"Save a worksheet", "mixed", 20, "save", false},
  };
  const QTemporaryDir dir;
  const QString self = QCoreApplication::applicationFilePath();
  int failures = 0;
  for (const Workload& workload : workloads) {
    const double megabytes = workload.megabytes * scale;
    const QString file =
        dir.filePath(QStringLiteral("%1-%2.txt").arg(workload.kind).arg(megabytes));
    if (!QFile::exists(file) && QProcess::execute(self, {"generate", workload.kind,
                                                         QString::number(megabytes), file}) != 0) {
      Print(QStringLiteral("cannot write %1").arg(file));
      return 1;
    }
    Print(QStringLiteral("%1: %2 MB")
              .arg(workload.title)
              .arg(QFileInfo(file).size() / kMegabyte, 0, 'f', 1));
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    QStringList arguments = {"run", workload.run, file};
    if (workload.judged && scale == 1) arguments << "judge";
    run.start(self, arguments);
    if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit ||
        run.exitCode() != 0) {
      Print(QStringLiteral("  failed"));
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string_view(argv[1]) == "generate") {
    return Generate(QString::fromLocal8Bit(argv[2]), std::atof(argv[3]),
                    QString::fromLocal8Bit(argv[4]));
  }
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);  // the user's recent-file list stays out of it
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  if ((arguments.size() == 3 || arguments.size() == 4) && arguments[0] == "run") {
    return Run(arguments[1], arguments[2], arguments.value(3) == "judge");
  }
  if (arguments.isEmpty()) return RunAll(1);
  if (arguments == QStringList{"--quick"}) return RunAll(0.01);
  std::fprintf(stderr, "usage: editor-benchmark [--quick]\n");
  return 2;
}
