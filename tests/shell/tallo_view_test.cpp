// Do Calculation in the view: answers written in as one undoable edit, the caret and the
// view staying with the text, the document marked modified. Line wrapping that stays
// linear on text without break points.

#include "shell/tallo_view.h"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "shell/line_wrap_guard.h"
#include "shell/tallo_doc.h"
#include "shell_test_support.h"

using tallo::shell::CTalloDoc;
using tallo::shell::CTalloView;
using tallo::shell::DocumentText;
using tallo::shell::HasUnbreakableRun;
using tallo::shell::kLongestWrappedRun;

namespace {

constexpr auto kWordWrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
constexpr auto kAnywhere = QTextOption::WrapAnywhere;

}  // namespace

class TalloViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  // Expected texts are hand arithmetic: 1+1 is 2, 2*3 is 6, sqrt(16) is 4.
  void CalculatesTypedText();
  void AnswersLandAfterNonAsciiText();
  void OneUndoRestoresTheTextExactly();
  // The caret moves by what is inserted before it (or at it), and not otherwise.
  void CaretStaysWithItsText_data();
  void CaretStaysWithItsText();
  void ViewKeepsShowingTheSameLine();
  void NothingToCalculateStillMarksModified();
  void SecondCalculationInsertsNothing();
  // Runs longer than the limit are those with more characters in a row than it without a
  // space, TAB or line end; a no-break space does not end a run.
  void UnbreakableRunsAreFound_data();
  void UnbreakableRunsAreFound();
  // Text that makes or lengthens such a run, typed, pasted, joined or opened, switches the
  // view to wrapping anywhere; emptying the text switches it back.
  void LongRunsWrapAnywhere_data();
  void LongRunsWrapAnywhere();
  void OpenedDataSetOnOneLineIsCalculated();

 private:
  void SetText(const QString& text) {
    view_->setPlainText(text);
    view_->document()->setModified(false);
  }
  QString Text() const { return DocumentText(*view_->document()); }

  std::unique_ptr<CTalloView> view_;
};

void TalloViewTest::init() {
  view_ = std::make_unique<CTalloView>();
  view_->resize(480, 320);
  view_->show();
  QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
}

void TalloViewTest::cleanup() { view_.reset(); }

void TalloViewTest::CalculatesTypedText() {
  QTest::keyClicks(view_.get(), QStringLiteral("1+1= 2*3="));
  QTest::keyClick(view_.get(), Qt::Key_Return);
  QTest::keyClicks(view_.get(), QStringLiteral("x=16"));
  QTest::keyClick(view_.get(), Qt::Key_Return);
  QTest::keyClicks(view_.get(), QStringLiteral("sqrt(x)="));
  view_->OnDoCalculation();
  QCOMPARE(Text(), QStringLiteral("1+1=2 2*3=6\nx=16\nsqrt(x)=4"));
}

void TalloViewTest::AnswersLandAfterNonAsciiText() {
  // Two-byte, four-byte (a surrogate pair in UTF-16) and no-break-space characters before
  // the answers: the engine counts bytes, the editor UTF-16 units.
  SetText(QStringLiteral("Gr\u00F6\u00DFe \U0001F600\u00A0\u00B5\n2*3= 1+1=\n"));
  view_->OnDoCalculation();
  QCOMPARE(Text(), QStringLiteral("Gr\u00F6\u00DFe \U0001F600\u00A0\u00B5\n2*3=6 1+1=2\n"));
}

void TalloViewTest::OneUndoRestoresTheTextExactly() {
  const QString before =
      QStringLiteral("a={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)=\n1+1=\nmean(a)=\n");
  QTest::keyClicks(view_.get(), QStringLiteral("typed "));
  view_->appendPlainText(before);
  const QString typed = Text();
  view_->OnDoCalculation();
  QVERIFY(Text() != typed);
  QVERIFY2(!Text().contains(u'\r'), "answers follow the LF line ends the view holds");
  QVERIFY(Text().contains(QStringLiteral("1+1=2\nmean(a)=5.5\n")));  // hand: 55/10
  const QString calculated = Text();
  view_->undo();
  QCOMPARE(Text(), typed);
  view_->redo();
  QCOMPARE(Text(), calculated);
}

void TalloViewTest::CaretStaysWithItsText_data() {
  QTest::addColumn<int>("caret");     // before the calculation, in "x=16\nsqrt(x)= 1+1= end"
  QTest::addColumn<int>("expected");  // after it: "4" and "2" inserted at 13 and 18
  QTest::newRow("before every answer") << 2 << 2;
  QTest::newRow("at the first answer") << 13 << 14;
  QTest::newRow("between the answers") << 15 << 16;
  QTest::newRow("after both") << 21 << 23;
}

void TalloViewTest::CaretStaysWithItsText() {
  QFETCH(int, caret);
  QFETCH(int, expected);
  SetText(QStringLiteral("x=16\nsqrt(x)= 1+1= end"));
  QTextCursor cursor = view_->textCursor();
  cursor.setPosition(caret);
  view_->setTextCursor(cursor);
  view_->OnDoCalculation();
  QCOMPARE(Text(), QStringLiteral("x=16\nsqrt(x)=4 1+1=2 end"));
  QCOMPARE(view_->textCursor().position(), expected);
}

void TalloViewTest::ViewKeepsShowingTheSameLine() {
  QString text = QStringLiteral("a={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)=\n");
  for (int line = 0; line < 200; ++line) text += QStringLiteral("line %1\n").arg(line);
  text += QStringLiteral("1+1=\n");
  SetText(text);
  QApplication::processEvents();
  view_->verticalScrollBar()->setValue(100);
  QApplication::processEvents();
  const QString top_before = view_->cursorForPosition(QPoint(1, 1)).block().text();
  QVERIFY(top_before.startsWith(QStringLiteral("line ")));
  view_->OnDoCalculation();
  QApplication::processEvents();
  QCOMPARE(view_->cursorForPosition(QPoint(1, 1)).block().text(), top_before);
  QVERIFY(view_->verticalScrollBar()->value() > 100);
}

void TalloViewTest::NothingToCalculateStillMarksModified() {
  SetText(QStringLiteral("Just prose, no answers wanted.\n"));
  view_->OnDoCalculation();
  QCOMPARE(Text(), QStringLiteral("Just prose, no answers wanted.\n"));
  QVERIFY(view_->document()->isModified());
  QVERIFY(!view_->document()->isUndoAvailable());
}

void TalloViewTest::SecondCalculationInsertsNothing() {
  SetText(QStringLiteral("x=5.5 y=2.3\nx*2+sqrt(y)=\n"));
  view_->OnDoCalculation();
  // The worked example of the worksheet format: 11 + 1.51658 = 12.5166 (six digits).
  QCOMPARE(Text(), QStringLiteral("x=5.5 y=2.3\nx*2+sqrt(y)=12.5166\n"));
  view_->OnDoCalculation();
  QCOMPARE(Text(), QStringLiteral("x=5.5 y=2.3\nx*2+sqrt(y)=12.5166\n"));
}

void TalloViewTest::UnbreakableRunsAreFound_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("found");  // a run of more than 5
  QTest::newRow("empty") << QString() << false;
  QTest::newRow("exactly the limit") << QStringLiteral("abcde") << false;
  QTest::newRow("one over") << QStringLiteral("abcdef") << true;
  QTest::newRow("words") << QStringLiteral("abc de fghij") << false;
  QTest::newRow("after a TAB") << QStringLiteral("ab\tcdefgh") << true;
  QTest::newRow("lines") << QStringLiteral("abcde\nabcde") << false;
  QTest::newRow("after a paragraph separator") << QStringLiteral("abc\u2029defghi") << true;
  QTest::newRow("numbers and commas") << QStringLiteral("1,2,3") << false;
  QTest::newRow("longer numbers and commas") << QStringLiteral("1.5,2.5") << true;
  QTest::newRow("no-break spaces") << QStringLiteral("ab\u00A0cde") << true;
}

void TalloViewTest::UnbreakableRunsAreFound() {
  QFETCH(QString, text);
  QFETCH(bool, found);
  QCOMPARE(HasUnbreakableRun(text, 5), found);
}

void TalloViewTest::LongRunsWrapAnywhere_data() {
  const QString limit(kLongestWrappedRun, u'x');
  const QString half(kLongestWrappedRun / 2, u'x');
  QTest::addColumn<QString>("before");
  QTest::addColumn<int>("from");  // the text from..to is replaced by inserted
  QTest::addColumn<int>("to");
  QTest::addColumn<QString>("inserted");
  QTest::addColumn<bool>("anywhere");
  QTest::newRow("a run at the limit") << QString() << 0 << 0 << limit << false;
  QTest::newRow("one more typed") << limit << 0 << 0 << QStringLiteral("x") << true;
  QTest::newRow("typed before a space") << limit + u' ' << 0 << 0 << QStringLiteral("x") << true;
  QTest::newRow("a space typed") << limit << 0 << 0 << QStringLiteral(" ") << false;
  QTest::newRow("pasted into the middle")
      << half + u' ' + half << 10 << 10 << QString(kLongestWrappedRun / 2 + 1, u'y') << true;
  QTest::newRow("two runs joined") << half + u' ' + half + u'x' << static_cast<int>(half.size())
                                   << static_cast<int>(half.size()) + 1 << QString() << true;
  QTest::newRow("a long line of words")
      << QString() << 0 << 0 << QStringLiteral("words and numbers ").repeated(20000) << false;
  QTest::newRow("a data set on one line")
      << QStringLiteral("a={}") << 3 << 3 << QStringLiteral("12.5,").repeated(20000) << true;
}

void TalloViewTest::LongRunsWrapAnywhere() {
  QFETCH(QString, before);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(QString, inserted);
  QFETCH(bool, anywhere);
  SetText(before);
  QCOMPARE(view_->wordWrapMode(), kWordWrap);
  QTextCursor edit(view_->document());
  edit.setPosition(from);
  edit.setPosition(to, QTextCursor::KeepAnchor);
  edit.insertText(inserted);
  QCOMPARE(view_->wordWrapMode(), anywhere ? kAnywhere : kWordWrap);
  view_->selectAll();
  view_->textCursor().removeSelectedText();
  QCOMPARE(view_->wordWrapMode(), kWordWrap);
}

void TalloViewTest::OpenedDataSetOnOneLineIsCalculated() {
  // 999,999 values on one line: laid out at word boundaries it would take many minutes.
  QByteArray bytes("a={1");
  for (int value = 2; value < 1000000; ++value) bytes += ',' + QByteArray::number(value);
  bytes += "}\nmean(a)= count(a)=\n";
  const QTemporaryDir dir;
  tallo::shell::testing::WriteBytes(dir.filePath("values.txt"), bytes);
  CTalloDoc doc(view_->document());
  QString error;
  QCOMPARE(doc.Open(dir.filePath("values.txt"), &error), CTalloDoc::OpenResult::Opened);
  QCOMPARE(view_->wordWrapMode(), kAnywhere);
  QApplication::processEvents();
  view_->OnDoCalculation();
  // Hand arithmetic: the mean of 1 to n is (n + 1) / 2.
  QVERIFY(Text().endsWith(QStringLiteral("}\nmean(a)=500000 count(a)=999999\n")));
  doc.NewDocument();
  QCOMPARE(view_->wordWrapMode(), kWordWrap);
}

QTEST_MAIN(TalloViewTest)
#include "tallo_view_test.moc"
