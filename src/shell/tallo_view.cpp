#include "shell/tallo_view.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <utility>

#include "shell/background_calculation.h"
#include "shell/column_layout.h"
#include "shell/dropped_files.h"
#include "shell/help_dlg.h"
#include "shell/line_index.h"
#include "shell/line_wrap_guard.h"
#include "shell/tallo_doc.h"
#include "shell/unanswered_marks.h"
#include "shell/worksheet_edit.h"

namespace tallo::shell {
namespace {

// Columns between TAB stops when columns are not aligned: pasted spreadsheet rows line up as
// they would in a terminal.
constexpr int kDefaultTabColumns = 8;

QTextDocument* DocumentWithColumns(QObject* parent) {
  auto* text = new QTextDocument(parent);
  text->setDocumentLayout(new ColumnLayout(text));
  return text;
}

// The size of font in points, also when it was given in pixels.
qreal PointsOf(const QFont& font) {
  return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

}  // namespace

CTalloView::CTalloView(QWidget* parent)
    : QPlainTextEdit(parent),
      calculation_(new BackgroundCalculation(this)),
      text_font_(QFontDatabase::systemFont(QFontDatabase::FixedFont)),
      tab_columns_(kDefaultTabColumns) {
  setDocument(DocumentWithColumns(this));
  columns_ = static_cast<ColumnLayout*>(document()->documentLayout());
  lines_ = new LineIndex(document());
  unanswered_ = new UnansweredMarks(this, lines_);
  ShowFont();
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A scroll bar that came and went with the length of the text would change the width of the text,
  // and every change of width lays out every paragraph again: a second or more for a large file,
  // just after it was opened.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  new LineWrapGuard(this);
  connect(calculation_, &BackgroundCalculation::AnswersArrived, this, &CTalloView::InsertBatch);
  connect(calculation_, &BackgroundCalculation::Finished, this, &CTalloView::FinishAnswers);
  // Answers worked out for a text that has changed since would land in the wrong places.
  connect(document(), &QTextDocument::contentsChange, this, &CTalloView::CancelCalculation);
}

CTalloView::~CTalloView() = default;

void CTalloView::GoToLine(int line) {
  QTextCursor cursor(document());
  cursor.setPosition(lines_->StartOfLine(line));
  setTextCursor(cursor);
  centerCursor();
}

bool CTalloView::IsCalculating() const { return calculation_->IsRunning(); }

bool CTalloView::CalculateAndWait() {
  bool applied = false;
  QEventLoop loop;
  connect(this, &CTalloView::CalculationEnded, &loop, [&](bool answered) {
    applied = answered;
    loop.quit();
  });
  OnDoCalculation();
  if (IsCalculating()) loop.exec();
  return applied;
}

void CTalloView::SetTextFont(const QFont& font) {
  text_font_ = font;
  ShowFont();
}

void CTalloView::SetZoom(int points) {
  const qreal chosen = PointsOf(text_font_);
  zoom_ = static_cast<int>(
      std::clamp<qreal>(points, kSmallestPoints - chosen, kLargestPoints - chosen));
  ShowFont();
}

bool CTalloView::AlignsColumns() const { return columns_->aligned(); }

void CTalloView::SetAlignColumns(bool on) { columns_->SetAligned(on); }

void CTalloView::SetTabColumns(int columns) {
  tab_columns_ = std::max(1, columns);
  ShowFont();
}

void CTalloView::ShowFont() {
  QFont shown = text_font_;
  shown.setPointSizeF(PointsOf(text_font_) + zoom_);
  setFont(shown);
  // In the font's own fractional advances: whole pixels would let the stops drift from the
  // characters.
  setTabStopDistance(tab_columns_ * QFontMetricsF(shown).horizontalAdvance(u' '));
}

void CTalloView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QPlainTextEdit::wheelEvent(event);
    return;
  }
  const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
  SetZoom(zoom_ + steps * kZoomStepPoints);
  event->accept();
}

void CTalloView::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  since_double_click_.start();
}

void CTalloView::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  const bool third_click = since_double_click_.isValid() &&
                           since_double_click_.elapsed() < QApplication::doubleClickInterval();
  since_double_click_.invalidate();
  if (!third_click || event->button() != Qt::LeftButton) return;
  const int line = lines_->LineOf(cursorForPosition(event->position().toPoint()).position());
  QTextCursor selection(document());
  selection.setPosition(lines_->StartOfLine(line));
  selection.setPosition(line + 1 < lines_->LineCount() ? lines_->StartOfLine(line + 1)
                                                       : document()->characterCount() - 1,
                        QTextCursor::KeepAnchor);
  setTextCursor(selection);
}

void CTalloView::OnDoCalculation() {
  if (IsCalculating()) return;
  setReadOnly(true);
  calculation_->Start(DocumentUtf8(*document()), AnswerLineEnd(*document()), exact_p_values_);
  emit CalculationStarted();
}

void CTalloView::CancelCalculation() {
  if (inserting_answers_ || !IsCalculating()) return;
  calculation_->Cancel();
  WithdrawAnswers();
  setReadOnly(false);
  emit CalculationEnded(false);
}

void CTalloView::InsertBatch(AnswerBatch& batch) {
  // The view keeps showing the line at its top, however many lines are inserted above it.
  const QTextBlock top = firstVisibleBlock();
  const int lines_into_top = verticalScrollBar()->value() - top.firstLineNumber();
  const QTextCursor top_anchor(top);
  QTextCursor cursor(document());
  // Every batch joins the first one's edit, so that the answers are one step of Undo.
  inserting_answers_ = true;
  if (answered_.begun) {
    cursor.joinPreviousEditBlock();
  } else {
    unanswered_->Clear();
    cursor.beginEditBlock();
    answered_.begun = true;
  }
  answered_.units = InsertAnswers(cursor, batch, answered_.units);
  cursor.endEditBlock();
  inserting_answers_ = false;
  answered_.undo_steps = document()->availableUndoSteps();
  verticalScrollBar()->setValue(top_anchor.block().firstLineNumber() + lines_into_top);
}

void CTalloView::FinishAnswers(std::vector<UnansweredMark>& unanswered) {
  answered_ = {};
  setReadOnly(false);
  unanswered_->Set(std::move(unanswered));
  document()->setModified(true);
  emit CalculationEnded(true);
}

void CTalloView::WithdrawAnswers() {
  const AnswersSoFar withdrawn = std::exchange(answered_, {});
  if (!withdrawn.begun) return;
  // The answers in so far are the last step of Undo, unless an Undo took them out already.
  // Only code can change a read-only text otherwise; then they stay, each right for its line.
  QTextDocument& text = *document();
  if (text.availableUndoSteps() == withdrawn.undo_steps && text.availableRedoSteps() == 0) {
    text.undo();
  }
  text.clearUndoRedoStacks(QTextDocument::RedoStack);
}

void CTalloView::OnFormatOfFunctions() {
  HelpDlg dialog(window());
  dialog.exec();
}

void CTalloView::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFiles(event->mimeData()).isEmpty()) {
    QPlainTextEdit::dragEnterEvent(event);
  } else {
    event->acceptProposedAction();
  }
}

void CTalloView::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedFiles(event->mimeData()).isEmpty()) {
    QPlainTextEdit::dragMoveEvent(event);
  } else {
    event->acceptProposedAction();
  }
}

void CTalloView::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFiles(event->mimeData());
  if (paths.isEmpty()) {
    QPlainTextEdit::dropEvent(event);
    return;
  }
  event->acceptProposedAction();
  emit FilesDropped(paths);
}

}  // namespace tallo::shell
