// The help and about dialogs.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include "shell/about_dlg.h"
#include "shell/app_identity.h"
#include "shell/help_dlg.h"

using tallo::shell::CAboutDlg;
using tallo::shell::HelpDlg;

namespace {

// "Format of Functions", line by line as the application's documentation gives it.
const QStringList kFunctionList = {
    "======operator======",
    "+-/*()=",
    "======functions======",
    "Limitation of mathematical functions is same as C Standard Library.",
    "sqrt(x)",
    "logd(x)",
    "loge(x)",
    "pow(x,y)",
    "exp(x)",
    "abs(x)",
    "",
    "sin(x)",
    "cos(x)",
    "tan(x)",
    "asin(x)",
    "acos(x)",
    "atan(x)",
    "",
    "n(n)",
    "nPr(n,r)",
    "nCr(n,r)",
    "nHr(n,r)",
    "",
    "probt(tval,df)",
    "======statistics======",
    "mean(a)=",
    "sd(a)=",
    "se(a)=",
    "sum(a)=",
    "count(a)=",
    "max(a)=",
    "min(a)=",
    "histogram(a)=",
    "lsq(a,b,d)= Least square method, a:dependent, b:indepandent, d:degree -4 to 4.",
    "",
    "smirnov(a)= Kolmogorov-Smirnov Goodness-of-Fit test & Thompson's test",
    "",
    "ttest(a,b)= t-test Student,Welch",
    "pttest(a,b)= paired t-test",
    "mwtest(a,b)= Mann-Whitney U Test",
    "wxtest(a,b)= Wilcoxon Test",
    "",
    "anovaow(table)= One Way ANOVA",
    "anovatw(table)= Two Way ANOVA",
    "kwtest(table)= Kruskal-Wallis",
    "fmtest(table)= Friedman's test",
    "dmtest(table)= Duncan's multiple range test",
    "",
    "rtest(a,b)= Pearson's correlation",
    "drtest(table)= Test of difference between Pearson's R",
    "sptest(a,b)= Spearman's correlation",
    "kdtest(a,b)= Kendall's correlation",
    "",
    "signtest(a)= Sign test, ex. a={12,56}",
    "fishertest(table)= Fisher test",
    "xstest(table)= Chi-square test max 10x10 table",
    "mcntest(table)= McNemar's test",
    "cqtest(table)= Cochran's Q test, Input value 0 or 1.",
    "",
    "oddsratio(table)= Odds ratio",
    "relativerisk(table)= Relative risk",
    "",
    "genwxtest(tableA,tableB)= Generalized Wilcoxon test",
    "kapmrtest(tableA,tableB,d)= Kaplan Meier test",
    "",
    "vcmtrx(table)= Variance-covariance and correlation matrix",
    "eigenvv(table)= Eigenvalue and eigenvector of variance-covariance matrix",
    "eigenvc(table)= Eigenvalue and eigenvector of correlation matrix",
    "pca(table)= Principal component analysis",
    "mra(table)= Multiple regression analysis, Input independent value in last column.",
    "lda(tableA,tableB)= Linear discriminant analysis",
    "mda(tableA,tableB,tableC)= Mahalanobis' discriminant analysis",
    "======Example of valiables and tables======",
    "Only Alphabetic characters are available for the name of variables.",
    "Copy table from Excel and past into the {} is the easiest way to fill up the values.",
    "",
    "x=5.5 y=2.3 n=4 r=2",
    "",
    "a={1,2,3}",
    "a={",
    "1",
    "2",
    "3",
    "}",
    "a={1<tab>2<tab>3}",
    "",
    "table={<tab>Cond1<tab>Cond2<tab>Cond3",
    "Group1<tab>234.54<tab>432.45<tab>553.43",
    "Group2<tab>345.12<tab>234.56<tab>878.43",
    "}",
};

QStringList ButtonTexts(const QWidget& dialog) {
  QStringList texts;
  for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->isVisible()) texts << button->text().remove(u'&');  // mnemonic marks
  }
  return texts;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { tallo::shell::SetApplicationIdentity(); }
  void HelpShowsTheFunctionListLineByLine();
  void AboutShowsIconAndVersion();
};

void DialogsTest::HelpShowsTheFunctionListLineByLine() {
  QCOMPARE(kFunctionList.size(), 90);
  HelpDlg dialog;
  dialog.show();
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
  auto* list = dialog.findChild<QPlainTextEdit*>(QStringLiteral("functionList"));
  QVERIFY(list != nullptr);
  QVERIFY(list->isReadOnly());
  QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QStringList lines;
  for (QTextBlock block = list->document()->begin(); block.isValid(); block = block.next()) {
    lines << block.text();
  }
  QCOMPARE(lines.size(), 90);
  for (int i = 0; i < kFunctionList.size(); ++i) QCOMPARE(lines[i], kFunctionList[i]);
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  QCOMPARE(labels, QStringList{"Format of Functions"});
  QCOMPARE(ButtonTexts(dialog), QStringList{"OK"});
}

void DialogsTest::AboutShowsIconAndVersion() {
  CAboutDlg dialog;
  dialog.show();
  QCOMPARE(dialog.windowTitle(), QStringLiteral("About Tallo"));
  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) texts << label->text();
  }
  QCOMPARE(texts, QStringList{"Tallo Version 2.3.1"});
  const auto* icon = dialog.findChild<QLabel*>(QStringLiteral("icon"));
  QVERIFY(icon != nullptr && !icon->pixmap().isNull());
  QCOMPARE(ButtonTexts(dialog), QStringList{"OK"});
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
