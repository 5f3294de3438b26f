// Do Calculation in the view: answers written in as one undoable edit, the caret and the
// view staying with the text, the document marked modified.

#include "shell/tallo_view.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "shell/tallo_doc.h"

using tallo::shell::CTalloView;
using tallo::shell::DocumentText;

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

QTEST_MAIN(TalloViewTest)
#include "tallo_view_test.moc"
