#include "bench/worksheet_generator.h"

#include <array>
#include <random>

#include "text/number_text.h"

namespace tallo::bench {
namespace {

constexpr std::array kWords = {
    "the",     "sample",  "of",      "patients", "was",      "measured", "twice",  "and",
    "we",      "compare", "means",   "between",  "groups",   "under",    "each",   "treatment",
    "results", "suggest", "a",       "small",    "effect",   "with",     "wide",   "interval",
    "control", "dose",    "weeks",   "follow",   "up",       "table",    "below",  "shows",
    "counts",  "for",     "every",   "site",     "note",     "that",     "values", "were"};

class Writer {
 public:
  explicit Writer(std::uint32_t seed) : random_(seed) {}

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  double Real(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random_);
  }

  // A name of letters only (data-set names hold no digits): a stem and a serial.
  std::string Name(std::string_view stem, std::size_t serial) {
    std::string name(stem);
    do {
      name += static_cast<char>('a' + serial % 26);
      serial /= 26;
    } while (serial > 0);
    return name;
  }

  std::string Number(double low, double high, int decimals) {
    return FormatFixed(Real(low, high), decimals);
  }

  void Prose(std::string& out) {
    const int words = Pick(8, 18);
    for (int i = 0; i < words; ++i) {
      out += kWords[static_cast<std::size_t>(Pick(0, kWords.size() - 1))];
      out += i + 1 < words ? " " : ".\n";
    }
  }

  void Scalars(std::string& out) {
    switch (Pick(0, 4)) {
      case 0:
        out += "x=" + Number(1, 50, 1) + " y=" + Number(1, 9, 2) + " k=" + std::to_string(Pick(2, 9)) + "\n";
        break;
      case 1: out += "x*2+sqrt(y)=\n"; break;
      case 2: out += "(x+y)/k-pow(y,2)= x*y=\n"; break;
      case 3: out += "probt(" + Number(0.5, 3, 3) + "," + std::to_string(Pick(3, 40)) + ")=\n"; break;
      default: out += "nCr(k,2)*exp(1)/log(x)=\n"; break;
    }
  }

  // name={v,v,...} on one line, one value per line, or TAB separated.
  void List(std::string& out, const std::string& name, int count, double low, double high) {
    const int form = Pick(0, 2);
    const char* separator = form == 0 ? "," : form == 1 ? "\n" : "\t";
    out += name + "={";
    if (form == 1) out += "\n";
    for (int i = 0; i < count; ++i) {
      out += Number(low, high, 1);
      if (i + 1 < count || form == 1) out += separator;
    }
    out += "}\n";
  }

  // A table pasted from a spreadsheet: labels, then rows of numbers.
  void Table(std::string& out, const std::string& name, int rows, int columns, double low,
             double high, int decimals) {
    out += name + "={";
    for (int c = 1; c <= columns; ++c) out += "\tC" + Name("", static_cast<std::size_t>(c));
    out += "\n";
    for (int r = 1; r <= rows; ++r) {
      out += "R" + Name("", static_cast<std::size_t>(r));
      for (int c = 1; c <= columns; ++c) out += "\t" + Number(low, high, decimals);
      out += "\n";
    }
    out += "}\n";
  }

  void Survival(std::string& out, const std::string& name, int subjects) {
    out += name + "={\tweeks\tcensored\n";
    for (int s = 1; s <= subjects; ++s) {
      out += "s" + Name("", static_cast<std::size_t>(s)) + "\t" + std::to_string(Pick(1, 60)) +
             "\t" + std::to_string(Pick(0, 3) == 0 ? 1 : 0) + "\n";
    }
    out += "}\n";
  }

  // One section of statistics: its data sets, then the statements that use them.
  void Section(std::string& out, std::size_t serial) {
    const std::string a = Name("a", serial), b = Name("b", serial), t = Name("t", serial);
    switch (Pick(0, 9)) {
      case 0:
        List(out, a, Pick(10, 60), 10, 90);
        out += "mean(" + a + ")= sd(" + a + ")= se(" + a + ")=\nsum(" + a + ")= count(" + a +
               ")= max(" + a + ")= min(" + a + ")=\nhistogram(" + a + ")=\nsmirnov(" + a + ")=\n";
        break;
      case 1:
        List(out, a, 20, 10, 90);
        List(out, b, 20, 15, 95);
        out += "ttest(" + a + "," + b + ")=\npttest(" + a + "," + b + ")=\nmwtest(" + a + "," + b +
               ")=\nwxtest(" + a + "," + b + ")=\n";
        break;
      case 2:
        List(out, a, 25, 0, 50);
        List(out, b, 25, 0, 50);
        out += "rtest(" + a + "," + b + ")=\nsptest(" + a + "," + b + ")=\nkdtest(" + a + "," + b +
               ")=\nlsq(" + b + "," + a + ",d)=\n";
        break;
      case 3:
        Table(out, t, Pick(6, 15), Pick(3, 5), 20, 60, 1);
        out += "anovaow(" + t + ")=\nkwtest(" + t + ")=\ndmtest(" + t + ")=\nanovatw(" + t +
               ")=\nfmtest(" + t + ")=\n";
        break;
      case 4:
        Table(out, t, 2, 2, 3, 40, 0);
        out += "fishertest(" + t + ")=\nxstest(" + t + ")=\nmcntest(" + t + ")=\noddsratio(" + t +
               ")=\nrelativerisk(" + t + ")=\n";
        break;
      case 5:
        Table(out, t, Pick(2, 5), Pick(2, 5), 5, 60, 0);
        out += "xstest(" + t + ")=\n";
        Table(out, a, Pick(6, 12), 4, 0, 1.4, 0);
        out += "cqtest(" + a + ")=\n";
        out += a + "={" + std::to_string(Pick(20, 60)) + "," + std::to_string(Pick(1, 19)) +
               "}\nsigntest(" + a + ")=\n";
        break;
      case 6:
        out += t + "={\tn\tr\nA\t" + std::to_string(Pick(20, 90)) + "\t" + Number(0.1, 0.9, 2) +
               "\nB\t" + std::to_string(Pick(20, 90)) + "\t" + Number(0.1, 0.9, 2) + "\n}\n";
        out += "drtest(" + t + ")=\n";
        break;
      case 7:
        Survival(out, a, Pick(8, 30));
        Survival(out, b, Pick(8, 30));
        out += "genwxtest(" + a + "," + b + ")=\nkapmrtest(" + a + "," + b + ",d)=\n";
        break;
      default:
        Table(out, t, Pick(12, 40), Pick(3, 5), 10, 100, 2);
        Table(out, a, Pick(10, 20), 3, 10, 60, 2);
        Table(out, b, Pick(10, 20), 3, 30, 90, 2);
        out += "vcmtrx(" + t + ")=\neigenvv(" + t + ")=\neigenvc(" + t + ")=\npca(" + t +
               ")=\nmra(" + t + ")=\nlda(" + a + "," + b + ")=\nmda(" + a + "," + b + "," + a +
               ")=\n";
        break;
    }
  }

 private:
  std::mt19937 random_;
};

template <typename AddPiece>
std::string Fill(std::size_t bytes, AddPiece add) {
  std::string out;
  out.reserve(bytes + 4096);
  while (out.size() < bytes) add(out);
  return out;
}

}  // namespace

std::string ProseText(std::size_t bytes, std::uint32_t seed) {
  Writer writer(seed);
  return Fill(bytes, [&](std::string& out) { writer.Prose(out); });
}

std::string ScalarLines(std::size_t bytes, std::uint32_t seed) {
  Writer writer(seed);
  return Fill(bytes, [&](std::string& out) { writer.Scalars(out); });
}

std::string MixedWorksheet(std::size_t bytes, std::uint32_t seed) {
  Writer writer(seed);
  std::size_t sections = 0;
  std::string text = "d={12}\n";  // the degree and the time point the sections share
  text += Fill(bytes, [&](std::string& out) {
    const int piece = writer.Pick(0, 9);
    if (piece < 5) {
      for (int i = writer.Pick(2, 6); i > 0; --i) writer.Prose(out);
    } else if (piece < 7) {
      for (int i = writer.Pick(2, 6); i > 0; --i) writer.Scalars(out);
    } else {
      writer.Section(out, sections++);
    }
    out += "\n";
  });
  return text;
}

std::string StatementsOverDataSets(std::size_t statements, std::size_t data_sets,
                                   std::uint32_t seed) {
  Writer writer(seed);
  std::string out;
  for (std::size_t i = 0; i < data_sets; ++i) writer.List(out, writer.Name("v", i), 30, 0, 100);
  constexpr std::array kOne = {"mean", "sd", "se", "sum", "count", "max", "min", "histogram"};
  constexpr std::array kTwo = {"ttest", "mwtest", "rtest", "sptest"};
  const auto any_set = [&] {
    return writer.Name("v", static_cast<std::size_t>(writer.Pick(0, static_cast<int>(data_sets) - 1)));
  };
  for (std::size_t i = 0; i < statements; ++i) {
    if (writer.Pick(0, 3) == 0) {
      out += std::string(kTwo[static_cast<std::size_t>(writer.Pick(0, kTwo.size() - 1))]) + "(" +
             any_set() + "," + any_set() + ")=\n";
    } else {
      out += std::string(kOne[static_cast<std::size_t>(writer.Pick(0, kOne.size() - 1))]) + "(" +
             any_set() + ")=\n";
    }
  }
  return out;
}

std::string LargeListsWith(std::size_t values, std::string_view statement, std::uint32_t seed) {
  Writer writer(seed);
  std::string out;
  out.reserve(values * 24);
  for (const char* name : {"a", "b"}) {
    out += std::string(name) + "={";
    for (std::size_t i = 0; i < values; ++i) out += writer.Number(0, 1000, 2) + "\n";
    out += "}\n";
  }
  writer.Table(out, "t", static_cast<int>(values / 4), 4, 0, 1000, 2);
  out += std::string(statement) + "\n";
  return out;
}

std::string LargeTableWith(std::size_t rows, std::size_t columns, std::string_view statement,
                           std::uint32_t seed) {
  Writer writer(seed);
  std::string out;
  writer.Table(out, "t", static_cast<int>(rows), static_cast<int>(columns), 0, 100, 3);
  out += std::string(statement) + "\n";
  return out;
}

}  // namespace tallo::bench
