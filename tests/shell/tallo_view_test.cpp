// The view: Do Calculation away from the window's thread (answers written in as one undoable edit,
// the caret and the view staying with the text, cancelling), columns that line up, line numbers,
// zooming, and line wrapping that stays linear on text without break points.

#include "shell/tallo_view.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "shell/column_layout.h"
#include "shell/line_index.h"
#include "shell/line_wrap_guard.h"
#include "shell/tallo_doc.h"

using namespace tallo::shell;

class TalloViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup() { view_.reset(); }
  // Expected texts are hand arithmetic: 1+1 is 2, 2*3 is 6, sqrt(16) is 4, and the worked example
  // of the worksheet format, 5.5*2+sqrt(2.3) = 12.5166 in six digits.
  void CalculationWritesTheAnswers_data();
  void CalculationWritesTheAnswers();
  // The answers' lines are lines of the text, as saved, counted and numbered; one Undo takes the
  // whole calculation back.
  void AnswerLinesAreLinesOfTheText();
  // The caret moves by what is inserted before it (or at it), and not otherwise.
  void CaretStaysWithItsText_data();
  void CaretStaysWithItsText();
  void ViewKeepsShowingTheSameLine();
  // Meanwhile the text is read-only; cancelled, or changed after all, it stays as it was.
  void CalculationCanBeCancelled();
  // Each run of lines with TABs has its own stops, past its widest cells by two spaces.
  void ColumnsLineUp_data();
  void ColumnsLineUp();
  void LongRunsAlignInPieces();
  void ZoomChangesTheSizeWithinLimits();
  // Runs longer than the limit are those with more characters in a row than it without a
  // space, TAB or line end; a no-break space does not end a run.
  void UnbreakableRunsAreFound();
  // Text that makes or lengthens such a run switches the view to wrapping anywhere; emptying the
  // text switches it back.
  void LongRunsWrapAnywhere_data();
  void LongRunsWrapAnywhere();

 private:
  void SetText(const QString& text) {
    view_->setPlainText(text);
    view_->document()->setModified(false);
  }
  QString Text() const { return DocumentText(*view_->document()); }
  // Where the character at position is drawn, across.
  int XOf(int position) const {
    QTextCursor cursor(view_->document());
    cursor.setPosition(position);
    return view_->cursorRect(cursor).x();
  }

  std::unique_ptr<CTalloView> view_;
};

void TalloViewTest::init() {
  view_ = std::make_unique<CTalloView>();
  view_->resize(480, 320);
  view_->show();
  QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
}

void TalloViewTest::CalculationWritesTheAnswers_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("expected");
  QTest::newRow("scalars") << "1+1= 2*3=\nx=16\nsqrt(x)="
                           << "1+1=2 2*3=6\nx=16\nsqrt(x)=4";
  QTest::newRow("worked example") << "x=5.5 y=2.3\nx*2+sqrt(y)=\n"
                                  << "x=5.5 y=2.3\nx*2+sqrt(y)=12.5166\n";
  // Two-byte, four-byte (a surrogate pair in UTF-16) and no-break-space characters before the
  // answers: the engine counts bytes, the editor UTF-16 units.
  QTest::newRow("after non-ASCII") << "Gr\u00F6\u00DFe \U0001F600\u00A0\u00B5\n2*3= 1+1=\n"
                                   << "Gr\u00F6\u00DFe \U0001F600\u00A0\u00B5\n2*3=6 1+1=2\n";
  QTest::newRow("nothing to calculate") << "Just prose.\n"
                                        << "Just prose.\n";
}

void TalloViewTest::CalculationWritesTheAnswers() {
  QFETCH(QString, text);
  QFETCH(QString, expected);
  SetText(text);
  QVERIFY(view_->CalculateAndWait());
  QCOMPARE(Text(), expected);
  QVERIFY(view_->document()->isModified());  // even when nothing was inserted
  QVERIFY(!view_->isReadOnly());
  QVERIFY(view_->CalculateAndWait());  // a second calculation inserts nothing
  QCOMPARE(Text(), expected);
}

void TalloViewTest::AnswerLinesAreLinesOfTheText() {
  QTest::keyClicks(view_.get(), QStringLiteral("typed "));
  view_->appendPlainText(QStringLiteral("a={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)=\nmean(a)=\n"));
  const QString typed = Text();
  QVERIFY(view_->CalculateAndWait());
  // The worked example of the histogram: five bins of two values, edges 2.8 to 8.2; hand: 55/10.
  const QString histogram = QStringLiteral(
      "histogram(a)=--------------------\n< 2.8\t\t|**\n>=2.8\t\t|**\n>=4.6\t\t|**\n"
      ">=6.4\t\t|**\n>=8.2\t\t|**\n\nmean(a)=5.5\n");
  QVERIFY2(Text().endsWith(histogram), qPrintable(Text()));
  const LineIndex& lines = view_->lines();
  QCOMPARE(lines.LineCount(), 11);
  const int mean = static_cast<int>(Text().indexOf(QStringLiteral("mean")));
  QCOMPARE(lines.LineOf(mean), 9);
  QCOMPARE(lines.StartOfLine(9), mean);
  const int fourth_bin = static_cast<int>(Text().indexOf(QStringLiteral(">=6.4")));
  QCOMPARE(lines.LineOf(fourth_bin + 2), 6);
  QCOMPARE(lines.ColumnOf(fourth_bin + 2), 2);
  QCOMPARE(lines.StartOfLine(6), fourth_bin);
  QCOMPARE(lines.StartOfLine(99), Text().size());  // past the end: the last line
  view_->GoToLine(6);
  QCOMPARE(view_->textCursor().position(), fourth_bin);
  view_->undo();
  QCOMPARE(Text(), typed);
  QCOMPARE(lines.LineCount(), 5);
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
  QVERIFY(view_->CalculateAndWait());
  QCOMPARE(Text(), QStringLiteral("x=16\nsqrt(x)=4 1+1=2 end"));
  QCOMPARE(view_->textCursor().position(), expected);
}

void TalloViewTest::ViewKeepsShowingTheSameLine() {
  QString text = QStringLiteral("a={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)=\n");
  for (int line = 0; line < 200; ++line) text += QStringLiteral("line %1\n").arg(line);
  SetText(text + QStringLiteral("1+1=\n"));
  QApplication::processEvents();
  view_->verticalScrollBar()->setValue(100);
  QApplication::processEvents();
  const QString top_before = view_->cursorForPosition(QPoint(1, 1)).block().text();
  QVERIFY(top_before.startsWith(QStringLiteral("line ")));
  QVERIFY(view_->CalculateAndWait());
  QApplication::processEvents();
  QCOMPARE(view_->cursorForPosition(QPoint(1, 1)).block().text(), top_before);
}

void TalloViewTest::CalculationCanBeCancelled() {
  SetText(QStringLiteral("1+1=\n"));
  QSignalSpy ended(view_.get(), &CTalloView::CalculationEnded);
  view_->OnDoCalculation();
  QVERIFY(view_->IsCalculating() && view_->isReadOnly());
  view_->OnDoCalculation();  // one at a time
  view_->CancelCalculation();
  QCOMPARE(ended.size(), 1);
  QCOMPARE(ended[0][0].toBool(), false);
  QVERIFY(!view_->IsCalculating() && !view_->isReadOnly());
  QTest::qWait(100);  // the engine's thread ends; its answers are dropped
  QCOMPARE(Text(), QStringLiteral("1+1=\n"));
  QVERIFY(!view_->document()->isModified());
  // A change of the text meanwhile cancels it too.
  view_->OnDoCalculation();
  QTextCursor(view_->document()).insertText(QStringLiteral("2*3="));
  QVERIFY(!view_->IsCalculating());
  QTest::qWait(100);
  QCOMPARE(Text(), QStringLiteral("2*3=1+1=\n"));
  QCOMPARE(ended.size(), 2);
}

void TalloViewTest::ColumnsLineUp_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("aligned");
  QTest::addColumn<QList<int>>("stops");  // per line, the first TAB's end and the second's, in
                                          // character widths of the view's monospaced font
  // Hand: "plants={" is 8 wide, two spaces beyond it is 10; "height" 6 wide, so 10+6+2 = 18. The
  // line without TABs ends the run; "x" starts another: 1+2 = 3.
  QTest::newRow("a table") << "plants={\theight\tweight\na\t1.5\t2\n}\nx\ty\n"
                           << true << QList<int>{10, 18, 10, 18, -1, -1, 3, -1, -1, -1};
  // The lines of an answer share their paragraph's stops: "Df=4" 4 wide, "Ts=1.549193" 11.
  QTest::newRow("answer lines") << "t=\u2028Df=4\tTs=1.549193\tn.s\u2028n=3\t1\tx\n"
                                << true << QList<int>{6, 19, -1, -1};
  // Not aligned: every eighth character, or every fourth with that tab width.
  QTest::newRow("not aligned") << "plants={\theight\tweight\n"
                               << false << QList<int>{16, 24, -1, -1};
}

void TalloViewTest::ColumnsLineUp() {
  QFETCH(QString, text);
  QFETCH(bool, aligned);
  QFETCH(QList<int>, stops);
  view_->SetAlignColumns(aligned);
  SetText(text);
  QApplication::processEvents();
  const qreal advance = QFontMetricsF(view_->document()->defaultFont()).horizontalAdvance(u' ');
  QVERIFY(QFontInfo(view_->document()->defaultFont()).fixedPitch());
  const int margin = XOf(0);
  int first_line = -1;  // where the first line with a TAB starts, and its first stop
  int first_stop = 0;
  for (QTextBlock block = view_->document()->begin(); block.isValid(); block = block.next()) {
    // The TABs of the paragraph's first line that has any.
    const QString text = block.text();
    const qsizetype line =
        text.lastIndexOf(QChar::LineSeparator, std::max<qsizetype>(text.indexOf(u'\t'), 0));
    qsizetype tab = line;
    if (first_line < 0 && text.contains(u'\t')) {
      first_line = block.position() + static_cast<int>(line) + 1;
      first_stop = stops.first();
    }
    for (int column = 0; column < 2; ++column) {
      tab = text.indexOf(u'\t', tab + 1);
      const int expected = stops.takeFirst();
      if (expected >= 0) {
        QCOMPARE(XOf(block.position() + static_cast<int>(tab) + 1) - margin,
                 qRound(expected * advance));
      }
    }
  }
  if (!aligned) {
    view_->SetTabColumns(4);
    QCOMPARE(XOf(9) - margin, qRound(12 * advance));  // the first TAB ends at 12
  }
  QCOMPARE(Text(),
           QString(text).replace(QChar::LineSeparator, u'\n'));  // only what is shown changed
  QVERIFY(!view_->document()->isModified() && !view_->document()->isUndoAvailable());
  // An edit that widens the widest first cell by two moves the first stop of its run by two.
  if (aligned) {
    QTextCursor widen(view_->document());
    widen.setPosition(first_line);
    widen.insertText(QStringLiteral("12"));
    QApplication::processEvents();
    const int first_tab =
        static_cast<int>(view_->document()->toRawText().indexOf(u'\t', first_line));
    QCOMPARE(XOf(first_tab + 1) - margin, qRound((first_stop + 2) * advance));
  }
}

void TalloViewTest::LongRunsAlignInPieces() {
  // Cells 1 wide, and 9 wide on one line past the first piece: the first piece keeps its stop
  // at 3, the second moves to 11.
  QString text;
  for (int line = 0; line < kLongestAlignedRun + 20; ++line) {
    text += (line == kLongestAlignedRun + 10 ? QStringLiteral("123456789") : QStringLiteral("a")) +
            QStringLiteral("\tb\n");
  }
  SetText(text);
  const qreal advance = QFontMetricsF(view_->document()->defaultFont()).horizontalAdvance(u' ');
  const auto stop_of = [this](int line) {
    auto* layout = static_cast<ColumnLayout*>(view_->document()->documentLayout());
    return layout->StopsOf(view_->document()->findBlockByNumber(line)).value(0).position;
  };
  QCOMPARE(stop_of(0), 3 * advance);
  QCOMPARE(stop_of(kLongestAlignedRun - 1), 3 * advance);
  QCOMPARE(stop_of(kLongestAlignedRun), 11 * advance);
  QCOMPARE(stop_of(kLongestAlignedRun + 19), 11 * advance);
}

void TalloViewTest::ZoomChangesTheSizeWithinLimits() {
  const qreal chosen = view_->TextFont().pointSizeF();
  view_->ZoomIn();
  view_->ZoomIn();
  QCOMPARE(view_->font().pointSizeF(), chosen + 2);
  QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -3 * 120), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view_->viewport(), &wheel);
  QCOMPARE(view_->zoom(), -1);
  for (int step = 0; step < 100; ++step) view_->ZoomOut();
  QCOMPARE(view_->font().pointSizeF(), CTalloView::kSmallestPoints);
  view_->SetZoom(1000);
  QCOMPARE(view_->font().pointSizeF(), CTalloView::kLargestPoints);
  QFont font = view_->TextFont();
  font.setPointSizeF(20);
  view_->SetTextFont(font);
  view_->SetZoom(-2);
  QCOMPARE(view_->font().pointSizeF(), 18.0);
  QCOMPARE(view_->tabStopDistance(), 8 * QFontMetricsF(view_->font()).horizontalAdvance(u' '));
}

void TalloViewTest::UnbreakableRunsAreFound() {
  const QList<std::pair<QString, bool>> cases = {// a run of more than 5?
                                                 {QString(), false},
                                                 {QStringLiteral("abcde"), false},
                                                 {QStringLiteral("abcdef"), true},
                                                 {QStringLiteral("abc de fghij"), false},
                                                 {QStringLiteral("ab\tcdefgh"), true},
                                                 {QStringLiteral("abcde\nabcde"), false},
                                                 {QStringLiteral("abc\u2029defghi"), true},
                                                 {QStringLiteral("1.5,2.5"), true},
                                                 {QStringLiteral("ab\u00A0cde"), true}};
  for (const auto& [text, found] : cases) QCOMPARE(HasUnbreakableRun(text, 5), found);
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
  QCOMPARE(view_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  QTextCursor edit(view_->document());
  edit.setPosition(from);
  edit.setPosition(to, QTextCursor::KeepAnchor);
  edit.insertText(inserted);
  QCOMPARE(view_->wordWrapMode(),
           anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
  view_->selectAll();
  view_->textCursor().removeSelectedText();
  QCOMPARE(view_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

QTEST_MAIN(TalloViewTest)
#include "tallo_view_test.moc"
