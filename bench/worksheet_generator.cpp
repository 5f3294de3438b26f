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
  // With twin given, R code doing the same analyses on the same data goes there.
  explicit Writer(std::uint32_t seed, std::string* twin = nullptr) : random_(seed), twin_(twin) {}

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
    std::string values;
    for (int i = 0; i < count; ++i) {
      const std::string value = Number(low, high, 1);
      out += value;
      if (i + 1 < count || form == 1) out += separator;
      Append(values, value);
    }
    out += "}\n";
    Twin(name + " <- c(" + values + ")\n");
  }

  // A table pasted from a spreadsheet: labels, then rows of numbers.
  void Table(std::string& out, const std::string& name, int rows, int columns, double low,
             double high, int decimals) {
    out += name + "={";
    for (int c = 1; c <= columns; ++c) out += "\tC" + Name("", static_cast<std::size_t>(c));
    out += "\n";
    std::string values;
    for (int r = 1; r <= rows; ++r) {
      out += "R" + Name("", static_cast<std::size_t>(r));
      for (int c = 1; c <= columns; ++c) {
        const std::string value = Number(low, high, decimals);
        out += "\t" + value;
        Append(values, value);
      }
      out += "\n";
    }
    out += "}\n";
    Twin(name + " <- matrix(c(" + values + "), nrow=" + std::to_string(rows) + ", byrow=TRUE)\n");
  }

  void Survival(std::string& out, const std::string& name, int subjects) {
    out += name + "={\tweeks\tcensored\n";
    std::string values;
    for (int s = 1; s <= subjects; ++s) {
      const std::string weeks = std::to_string(Pick(1, 60));
      const std::string censored = std::to_string(Pick(0, 3) == 0 ? 1 : 0);
      out += 's';  // a label cell
      out += Name("", static_cast<std::size_t>(s));
      out += "\t" + weeks + "\t" + censored + "\n";
      Append(values, weeks);
      Append(values, censored);
    }
    out += "}\n";
    Twin(name + " <- matrix(c(" + values + "), ncol=2, byrow=TRUE)\n");
  }

  // One section of statistics: its data sets, then the statements that use them.
  void Section(std::string& out, std::size_t serial) {
    const std::string a = Name("a", serial), b = Name("b", serial), t = Name("t", serial);
    switch (Pick(0, 9)) {
      case 0:
        List(out, a, Pick(10, 60), 10, 90);
        out += "mean(" + a + ")= sd(" + a + ")= se(" + a + ")=\nsum(" + a + ")= count(" + a +
               ")= max(" + a + ")= min(" + a + ")=\nhistogram(" + a + ")=\nsmirnov(" + a + ")=\n";
        Twin(R("mean(@); sd(@); se(@); sum(@); length(@); max(@); min(@)\nhist(@, plot=FALSE)\n"
               "grubbs(@)\n", {a}));
        break;
      case 1:
        List(out, a, 20, 10, 90);
        List(out, b, 20, 15, 95);
        out += "ttest(" + a + "," + b + ")=\npttest(" + a + "," + b + ")=\nmwtest(" + a + "," + b +
               ")=\nwxtest(" + a + "," + b + ")=\n";
        Twin(R("var.test(@, #); t.test(@, #, var.equal=TRUE)\nt.test(@, #, paired=TRUE)\n"
               "wilcox.test(@, #, exact=FALSE)\nwilcox.test(@, #, paired=TRUE, exact=FALSE)\n",
               {a, b}));
        break;
      case 2:
        List(out, a, 25, 0, 50);
        List(out, b, 25, 0, 50);
        out += "rtest(" + a + "," + b + ")=\nsptest(" + a + "," + b + ")=\nkdtest(" + a + "," + b +
               ")=\nlsq(" + b + "," + a + ",d)=\n";
        // lsq of degree d (12) answers "--Invalid Value--": R has nothing to match.
        Twin(R("cor.test(@, #)\ncor.test(@, #, method=\"spearman\", exact=FALSE)\n"
               "cor.test(@, #, method=\"kendall\", exact=FALSE)\n",
               {a, b}));
        break;
      case 3:
        Table(out, t, Pick(6, 15), Pick(3, 5), 20, 60, 1);
        out += "anovaow(" + t + ")=\nkwtest(" + t + ")=\ndmtest(" + t + ")=\nanovatw(" + t +
               ")=\nfmtest(" + t + ")=\n";
        Twin(R("anova1(@)\nkruskal.test(stacked(@)$values, stacked(@)$ind)\nranges(@)\n"
               "anova2(@)\nfriedman.test(@)\n", {t}));
        break;
      case 4:
        Table(out, t, 2, 2, 3, 40, 0);
        out += "fishertest(" + t + ")=\nxstest(" + t + ")=\nmcntest(" + t + ")=\noddsratio(" + t +
               ")=\nrelativerisk(" + t + ")=\n";
        Twin(R("fisher.test(@)\nchisq.test(@)\nmcnemar.test(@)\nodds(@)\nrisk(@)\n", {t}));
        break;
      case 5:
        Table(out, t, Pick(2, 5), Pick(2, 5), 5, 60, 0);
        out += "xstest(" + t + ")=\n";
        Table(out, a, Pick(6, 12), 4, 0, 1.4, 0);
        out += "cqtest(" + a + ")=\n";
        {
          const std::string n = std::to_string(Pick(20, 60)), k = std::to_string(Pick(1, 19));
          out += a + "={" + n + "," + k + "}\nsigntest(" + a + ")=\n";
          Twin(R("chisq.test(@)\ncochran(#)\nbinom.test(" + k + ", " + n + ")\n", {t, a}));
        }
        break;
      case 6:
        {
          const std::string n1 = std::to_string(Pick(20, 90)), r1 = Number(0.1, 0.9, 2);
          const std::string n2 = std::to_string(Pick(20, 90)), r2 = Number(0.1, 0.9, 2);
          out += t + "={\tn\tr\nA\t" + n1 + "\t" + r1 + "\nB\t" + n2 + "\t" + r2 + "\n}\n";
          out += "drtest(" + t + ")=\n";
          Twin("rdiff(" + n1 + ", " + r1 + ", " + n2 + ", " + r2 + ")\n");
        }
        break;
      case 7:
        Survival(out, a, Pick(8, 30));
        Survival(out, b, Pick(8, 30));
        out += "genwxtest(" + a + "," + b + ")=\nkapmrtest(" + a + "," + b + ",d)=\n";
        Twin(R("gehan(@, #)\nkaplan(@, #, 12)\n", {a, b}));
        break;
      default:
        Table(out, t, Pick(12, 40), Pick(3, 5), 10, 100, 2);
        Table(out, a, Pick(10, 20), 3, 10, 60, 2);
        Table(out, b, Pick(10, 20), 3, 30, 90, 2);
        out += "vcmtrx(" + t + ")=\neigenvv(" + t + ")=\neigenvc(" + t + ")=\npca(" + t +
               ")=\nmra(" + t + ")=\nlda(" + a + "," + b + ")=\nmda(" + a + "," + b + "," + a +
               ")=\n";
        Twin(R("cov(@)\neigen(cov(@))$values\neigen(cov(@))\nsummary(prcomp(@, scale.=TRUE))\n"
               "regress(@)\ndiscriminant(#, %)\nallot(#, %, #)\n",
               {t, a, b}));
        break;
    }
  }

 private:
  static void Append(std::string& values, std::string_view value) {
    if (!values.empty()) values += ',';
    values += value;
  }

  void Twin(const std::string& code) {
    if (twin_ != nullptr) *twin_ += code;
  }

  // code with "@" replaced by the first of names, "#" by the second and "%" by the third.
  static std::string R(std::string_view code, std::initializer_list<std::string> names) {
    constexpr std::string_view kPlaces = "@#%";
    std::string out;
    for (char c : code) {
      const std::size_t place = kPlaces.find(c);
      if (place == std::string_view::npos) {
        out += c;
      } else {
        out += names.begin()[place];
      }
    }
    return out;
  }

  std::mt19937 random_;
  std::string* twin_;
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

std::string StatisticsBlocks(std::size_t blocks, std::uint32_t seed, std::string& twin) {
  // What the statements do that R has no single function for, written in base R.
  twin = R"R(se <- function(x) sd(x) / sqrt(length(x))
grubbs <- function(x) {
  n <- length(x); z <- abs(x - mean(x)) / sd(x)
  pmin(1, n * pt(sqrt(n * (n - 2) * z^2 / ((n - 1)^2 - n * z^2)), n - 2, lower.tail=FALSE))
}
stacked <- function(m) stack(as.data.frame(m))
anova1 <- function(m) { s <- stacked(m); summary(aov(values ~ ind, s)) }
anova2 <- function(m) summary(aov(as.vector(m) ~ factor(row(m)) + factor(col(m))))
ranges <- function(m) { s <- stacked(m); pairwise.t.test(s$values, s$ind, p.adjust.method="none") }
odds <- function(m) { r <- m[1,1] * m[2,2] / (m[1,2] * m[2,1]); exp(log(r) + c(-1.96, 0, 1.96) * sqrt(sum(1 / m))) }
risk <- function(m) {
  r <- (m[1,1] / sum(m[1,])) / (m[2,1] / sum(m[2,]))
  exp(log(r) + c(-1.96, 0, 1.96) * sqrt(1/m[1,1] - 1/sum(m[1,]) + 1/m[2,1] - 1/sum(m[2,])))
}
cochran <- function(m) {
  k <- ncol(m); C <- colSums(m); R <- rowSums(m); N <- sum(m)
  q <- (k - 1) * (k * sum(C^2) - N^2) / (k * N - sum(R^2)); c(q, pchisq(q, k - 1, lower.tail=FALSE))
}
rdiff <- function(n1, r1, n2, r2) { z <- (atanh(r1) - atanh(r2)) / sqrt(1/(n1 - 3) + 1/(n2 - 3)); c(z, 2 * pnorm(-abs(z))) }
gehan <- function(a, b) {
  t <- c(a[,1], b[,1]); e <- c(a[,2], b[,2]) == 0; n <- length(t); n1 <- nrow(a)
  u <- rowSums(outer(t, t, ">") & outer(rep(TRUE, n), e)) - rowSums(outer(t, t, "<") & outer(e, rep(TRUE, n)))
  w <- sum(u[1:n1]); v <- n1 * (n - n1) * sum(u^2) / (n * (n - 1)); c(w, v, w / sqrt(v), 2 * pnorm(-abs(w / sqrt(v))))
}
survival <- function(m, at) {
  t <- m[,1]; e <- m[,2] == 0; u <- sort(unique(t[e]))
  d <- sapply(u, function(x) sum(t == x & e)); n <- sapply(u, function(x) sum(t >= x))
  s <- cumprod(1 - d / n); g <- cumsum(d / (n * (n - d))); k <- sum(u <= at)
  c(mean=sum(diff(c(0, u)) * c(1, head(s, -1))), s=if (k > 0) s[k] else 1, se=if (k > 0) s[k] * sqrt(g[k]) else 0)
}
kaplan <- function(a, b, at) { x <- survival(a, at); y <- survival(b, at); z <- (x[2] - y[2]) / sqrt(x[3]^2 + y[3]^2); c(x, y, z) }
regress <- function(m) { k <- ncol(m); summary(lm(m[,k] ~ m[,-k])) }
discriminant <- function(a, b) {
  s <- ((nrow(a) - 1) * cov(a) + (nrow(b) - 1) * cov(b)) / (nrow(a) + nrow(b) - 2)
  solve(s, colMeans(a) - colMeans(b))
}
allot <- function(a, b, c) sign(sweep(c, 2, (colMeans(a) + colMeans(b)) / 2) %*% discriminant(a, b))
)R";
  Writer writer(seed, &twin);
  std::string text = "d={12}\n";
  for (std::size_t block = 0; block < blocks; ++block) {
    writer.Section(text, block);
    text += "\n";
  }
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
