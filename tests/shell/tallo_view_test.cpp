// The view: Do Calculation off the window's thread, columns that line up, line numbers, zooming,
// and line wrapping that stays linear on text without break points.

#include "shell/tallo_view.h"

#include "shell/column_layout.h"
#include "shell/line_index.h"
#include "shell/line_wrap_guard.h"
#include "shell/tallo_doc.h"
#include "shell/unanswered_marks.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

class TalloViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    view_ = std::make_unique<CTalloView>();
    view_->resize(480, 320);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
  }
  void cleanup() { view_.reset(); }
  // A second calculation inserts nothing; the document counts as modified even when the first
  // inserted nothing.
  void CalculationWritesTheAnswers_data() { AddCaseRows("calculations.tsv", 4); }
  void CalculationWritesTheAnswers() {
    const auto [text, caret, expected, expected_caret] = Fields<4>();
    SetText(text);
    QTextCursor cursor = view_->textCursor();
    cursor.setPosition(caret.toInt());
    view_->setTextCursor(cursor);
    QVERIFY(view_->CalculateAndWait());
    QCOMPARE(Text(), expected);
    QCOMPARE(view_->textCursor().position(), expected_caret.toInt());
    QVERIFY(view_->document()->isModified() && !view_->isReadOnly());
    QVERIFY(view_->CalculateAndWait());
    QCOMPARE(Text(), expected);
  }
  // The answers' lines are lines of the text, as saved, counted and numbered; one Undo takes the
  // whole calculation back.
  void AnswerLinesAreLinesOfTheText() {
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
    QCOMPARE(lines.ColumnOf(int(Text().indexOf(QStringLiteral("histogram")))), 0);
    QCOMPARE(lines.StartOfLine(99), Text().size());  // past the end: the last line
    view_->GoToLine(6);
    QCOMPARE(view_->textCursor().position(), fourth_bin);
    view_->undo();
    QCOMPARE(Text(), typed);
    QCOMPARE(lines.LineCount(), 5);
    // Past the end of a last paragraph that holds a report's lines: the last line's start.
    SetText(QStringLiteral("a={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)="));
    QVERIFY(view_->CalculateAndWait());
    QVERIFY(Text().endsWith(QStringLiteral("|**\n")));
    QCOMPARE(lines.StartOfLine(99), Text().size());
  }
  // Each "=" left without an answer is underlined where it stands once the answers before it are
  // in, and hovering it shows why (the reasons as the manual gives them). Editing its line
  // removes its mark while later marks move with the text; undoing the calculation removes all.
  void UnansweredEqualsAreMarked() {
    // "Größe 😀 " is 9 UTF-16 units (the emoji two), so "1+1=" ends at 12 and gets "2" at 13;
    // "1/0=" then ends at 18, and "2^10=" on the next line (from 20) at 24.
    SetText(QStringLiteral("Gr\u00F6\u00DFe \U0001F600 1+1= 1/0=\n2^10=\n"));
    QVERIFY(view_->CalculateAndWait());
    QCOMPARE(Marked(), QList<int>({18, 24}));
    QCOMPARE(ToolTipAt(12), QString());
    QCOMPARE(ToolTipAt(18), QStringLiteral("1/0 divides by zero"));
    QCOMPARE(ToolTipAt(19, 0), QString());  // just past it
    QTextCursor(view_->document()).insertText(QStringLiteral("a"));
    QCOMPARE(Marked(), QList<int>({25}));
    QCOMPARE(ToolTipAt(25), QStringLiteral("^ is not an operator here: write a power as pow(2,10)"));
    QCOMPARE(ToolTipAt(25, 3), QString());  // beyond the end of its line
    view_->undo();  // the edit: the mark of its line stays gone
    QCOMPARE(Marked(), QList<int>({24}));
    view_->undo();  // the calculation
    QCOMPARE(Marked(), QList<int>());
    view_->redo();
    QCOMPARE(Marked(), QList<int>());
    // A mark in the last paragraph on screen is shown as well.
    SetText(QStringLiteral("1/0="));
    QVERIFY(view_->CalculateAndWait());
    QCOMPARE(Marked(), QList<int>({3}));
  }
  // A long worksheet's answers go in batch by batch while the engine works on: each behind those
  // before it, also past characters of two UTF-16 units. They are one step of Undo, a mark stands
  // where the answers before it put it, and a cancel half way takes out what went in.
  void AnswersArriveInBatches() {
    QString text;
    for (int line = 0; line < 40000; ++line) text += QStringLiteral("\U0001F600 1/8=\n");
    const QString answered = QString(text).replace(QStringLiteral("="), QStringLiteral("=0.125"));
    text += QStringLiteral("1/0=\n");
    SetText(text);
    QVERIFY(view_->CalculateAndWait());
    QCOMPARE(Text(), answered + QStringLiteral("1/0=\n"));
    QCOMPARE(view_->unanswered().ReasonOnLineOf(int(answered.size()) + 3),
             QStringLiteral("1/0 divides by zero"));
    view_->undo();
    QCOMPARE(Text(), text);
    QVERIFY(!view_->document()->isModified());
    // Ranking two data sets of 50,000 values forty times keeps the engine busy long after the
    // first batch is in.
    QString busy = text + QStringLiteral("a={");
    for (int value = 0; value < 100000; ++value) {
      busy += QString::number(value % 977);
      busy += value == 49999 ? QStringLiteral("}\nb={") : QStringLiteral(",");
    }
    busy.chop(1);
    busy += QStringLiteral("}\n") + QStringLiteral("mwtest(a,b)=\n").repeated(40);
    SetText(busy);
    QSignalSpy ended(view_.get(), &CTalloView::CalculationEnded);
    const QMetaObject::Connection first_answers =
        connect(view_->document(), &QTextDocument::contentsChange, view_.get(),
                &CTalloView::CancelCalculation, Qt::QueuedConnection);
    view_->OnDoCalculation();
    QVERIFY(ended.wait());
    disconnect(first_answers);
    QCOMPARE(ended[0][0].toBool(), false);
    QCOMPARE(Text(), busy);
    QVERIFY(!view_->document()->isModified());
    QCOMPARE(view_->document()->availableRedoSteps(), 0);
  }
  // Where a file's own line separators are characters, answers make paragraphs of their own: the
  // view keeps showing the line at its top however many are inserted above it.
  void ViewKeepsShowingTheSameLine() {
    CTalloDoc doc(view_->document());
    QString text = QStringLiteral("a\u2028b\na={1,2,3,4,5,6,7,8,9,10}\nhistogram(a)=\n");
    for (int line = 0; line < 200; ++line) text += QStringLiteral("line %1\n").arg(line);
    QVERIFY(doc.Restore({}, {}, text));
    QApplication::processEvents();
    view_->verticalScrollBar()->setValue(100);
    QApplication::processEvents();
    const QString top_before = view_->cursorForPosition(QPoint(1, 1)).block().text();
    QVERIFY(top_before.startsWith(QStringLiteral("line ")));
    QVERIFY(view_->CalculateAndWait());
    QApplication::processEvents();
    QCOMPARE(view_->cursorForPosition(QPoint(1, 1)).block().text(), top_before);
    QCOMPARE(view_->document()->blockCount(), 204 + 6);  // the histogram's six line ends
    QCOMPARE(view_->lines().LineCount(), 210);           // the separator is not a line end
    QCOMPARE(DocumentText(*view_->document()).left(3), QStringLiteral("a\u2028b"));
  }
  // Meanwhile the text is read-only; cancelled, or changed after all, it stays as it was.
  void CalculationCanBeCancelled() {
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
  // Each run of lines with TABs has its own stops, past its widest cells by two spaces; only what
  // is shown changes.
  void ColumnsLineUp_data() { AddCaseRows("columns.tsv", 3); }
  void ColumnsLineUp() {
    const auto [text, aligned, stops] = Fields<3>();
    view_->SetAlignColumns(aligned == "yes");
    const int top = view_->cursorRect().y();  // of the empty text's first line
    SetText(text);
    QApplication::processEvents();
    QCOMPARE(view_->cursorRect(QTextCursor(view_->document())).y(), top);
    QVERIFY(QFontInfo(view_->document()->defaultFont()).fixedPitch());
    const int margin = XOf(0);
    QStringList expected = stops.split(u' ');
    QStringList shown;
    int first_line = -1;  // where the first line with TABs starts
    for (QTextBlock block = view_->document()->begin(); block.isValid(); block = block.next()) {
      const QString line = block.text();
      qsizetype tab =
          line.lastIndexOf(QChar::LineSeparator, std::max(line.indexOf(u'\t'), qsizetype{0}));
      if (first_line < 0 && line.contains(u'\t')) first_line = block.position() + int(tab) + 1;
      for (int column = 0; column < 2; ++column) {
        tab = line.indexOf(u'\t', tab + 1);
        const qreal x = (XOf(block.position() + int(tab) + 1) - margin) / Advance();
        shown << (tab < 0 ? QStringLiteral("-") : QString::number(qRound(x)));
      }
    }
    QCOMPARE(shown, expected);
    QCOMPARE(Text(), QString(text).replace(QChar::LineSeparator, u'\n'));
    QVERIFY(!view_->document()->isModified() && !view_->document()->isUndoAvailable());
    if (aligned == "no") {
      view_->SetTabColumns(4);
      QCOMPARE(XOf(9) - margin, qRound(12 * Advance()));  // the first TAB ends at 12
      return;
    }
    // An edit that widens the widest first cell by two moves the first stop of its run by two.
    QTextCursor widen(view_->document());
    widen.setPosition(first_line);
    widen.insertText(QStringLiteral("12"));
    QApplication::processEvents();
    const int first_tab = int(view_->document()->toRawText().indexOf(u'\t', first_line));
    QCOMPARE(XOf(first_tab + 1) - margin, qRound((expected[0].toInt() + 2) * Advance()));
  }
  // One edit over several paragraphs has each of them measured again ("123456789c" is 10 wide).
  // Cells 1 wide but for the last two lines of the first kLongestAlignedRun + 1, 9 and 5 wide: a
  // run of that many lines is aligned whole, every stop at 11 (9 + 2); one line more, and it is
  // aligned in pieces of kLongestAlignedRun lines, the second with its stop at 7 (5 + 2).
  void AlignmentFollowsEditsAndLongRuns() {
    const auto stop_of = [this](int line) {
      const QTextBlock block = view_->document()->findBlockByNumber(line);
      return qRound(Layout()->StopsOf(block).value(0).position / Advance());
    };
    SetText(QStringLiteral("ab\tx\nc\ty\n"));
    QCOMPARE(stop_of(1), 4);
    QTextCursor edit(view_->document());
    edit.beginEditBlock();
    edit.insertText(QStringLiteral("1"));
    edit.setPosition(6);
    edit.insertText(QStringLiteral("123456789"));
    edit.endEditBlock();
    QCOMPARE(stop_of(0), 12);
    for (const int lines : {kLongestAlignedRun + 1, kLongestAlignedRun + 2}) {
      SetText(QStringLiteral("a\tb\n").repeated(kLongestAlignedRun - 1) +
              QStringLiteral("123456789\tb\n12345\tb\n") +
              (lines > kLongestAlignedRun + 1 ? QStringLiteral("a\tb\n") : QString()));
      const int second_piece = lines == kLongestAlignedRun + 1 ? 11 : 7;
      QCOMPARE(stop_of(0), 11);
      QCOMPARE(stop_of(kLongestAlignedRun - 1), 11);
      QCOMPARE(stop_of(kLongestAlignedRun), second_piece);
      QCOMPARE(stop_of(lines - 1), second_piece);
      QCOMPARE(stop_of(0), 11);
      // An edit in the first line measures its piece again, to the piece's last line.
      QTextCursor(view_->document()).insertText(QStringLiteral("x"));
      QCOMPARE(stop_of(0), 11);
    }
  }
  void ZoomChangesTheSizeWithinLimits() {
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
  // A paragraph may hold many lines: a third click selects only the line clicked.
  void ThirdClickSelectsTheLine() {
    SetText(QStringLiteral("one\u2028two\u2028three\nfour"));
    for (const auto& [position, start, end] : {std::tuple{5, 4, 8}, {16, 14, 18}}) {
      QTextCursor cursor(view_->document());
      cursor.setPosition(position);
      const QPoint at = view_->cursorRect(cursor).center();
      QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(view_->textCursor().selectionStart(), start);
      QCOMPARE(view_->textCursor().selectionEnd(), end);
    }
  }
  void RunsWithoutBreakPoints_data() { AddCaseRows("runs.tsv", 2); }
  void RunsWithoutBreakPoints() {
    const auto [text, found] = Fields<2>();
    QCOMPARE(HasUnbreakableRun(text, 5), found == "yes");
  }
  // Text that makes or lengthens a run longer than the limit switches the view to wrapping
  // anywhere; emptying the text switches it back.
  void LongRunsWrapAnywhere_data() { AddCaseRows("wrapping.tsv", 5); }
  void LongRunsWrapAnywhere() {
    const auto [before, from, to, inserted, anywhere] = Fields<5>();
    SetText(before);
    QCOMPARE(view_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextCursor cursor(view_->document());
    cursor.setPosition(from.toInt());
    cursor.setPosition(to.toInt(), QTextCursor::KeepAnchor);
    cursor.insertText(inserted);
    QCOMPARE(view_->wordWrapMode() == QTextOption::WrapAnywhere, anywhere == "yes");
    view_->selectAll();
    view_->textCursor().removeSelectedText();
    QCOMPARE(view_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  }

 private:
  void SetText(const QString& text) {
    view_->setPlainText(text);
    view_->document()->setModified(false);
  }
  QString Text() const { return DocumentText(*view_->document()); }
  // The characters drawn with a wavy underline.
  QList<int> Marked() const {
    QList<int> marked;
    for (const QTextEdit::ExtraSelection& each : view_->extraSelections()) {
      if (each.format.underlineStyle() == QTextCharFormat::WaveUnderline &&
          each.cursor.selectionEnd() == each.cursor.selectionStart() + 1) {
        marked << each.cursor.selectionStart();
      }
    }
    return marked;
  }
  // The tooltip shown on hovering the character at position, characters widths into it.
  QString ToolTipAt(int position, qreal characters = 0.5) {
    QToolTip::hideText();  // after a moment
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QStringLiteral("<stays>");
    QTextCursor cursor(view_->document());
    cursor.setPosition(position);
    const QRect before = view_->cursorRect(cursor);
    const QPoint at(before.x() + qRound(characters * Advance()), before.center().y());
    QHelpEvent hover(QEvent::ToolTip, at, view_->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view_->viewport(), &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  }
  // Where the character at position is drawn, across.
  int XOf(int position) const {
    QTextCursor cursor(view_->document());
    cursor.setPosition(position);
    return view_->cursorRect(cursor).x();
  }
  ColumnLayout* Layout() const {
    return static_cast<ColumnLayout*>(view_->document()->documentLayout());
  }
  qreal Advance() const {
    return QFontMetricsF(view_->document()->defaultFont()).horizontalAdvance(u' ');
  }

  std::unique_ptr<CTalloView> view_;
};

QTEST_MAIN(TalloViewTest)
#include "tallo_view_test.moc"
