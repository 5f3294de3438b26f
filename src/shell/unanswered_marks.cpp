#include "shell/unanswered_marks.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>

#include "shell/line_index.h"

namespace tallo::shell {
namespace {

// The first of marks at or after position.
template <typename Marks>
auto FirstFrom(Marks& marks, int position) {
  return std::ranges::lower_bound(marks, position, {}, &UnansweredMark::position);
}

}  // namespace

UnansweredMarks::UnansweredMarks(QPlainTextEdit* view, const LineIndex* lines)
    : QObject(view), view_(view), lines_(lines) {
  connect(view->document(), &QTextDocument::contentsChange, this,
          &UnansweredMarks::OnContentsChange);
  // Scrolling, resizing, editing: what is shown may have changed.
  connect(view, &QPlainTextEdit::updateRequest, this, &UnansweredMarks::ShowVisible);
  view->viewport()->installEventFilter(this);
}

void UnansweredMarks::Set(std::vector<UnansweredMark> marks) {
  marks_ = std::move(marks);
  undo_steps_ = view_->document()->availableUndoSteps();
  ShowVisible();
  emit Changed();
}

void UnansweredMarks::Clear() {
  if (marks_.empty()) return;
  std::vector<UnansweredMark>().swap(marks_);
  ShowVisible();
  emit Changed();
}

QString UnansweredMarks::ReasonOnLineOf(int position) const {
  if (marks_.empty()) return {};
  const auto [start, end] = lines_->LineAround(position);
  const auto mark = FirstFrom(marks_, position);
  if (mark != marks_.end() && mark->position <= end) return mark->message;
  if (mark != marks_.begin() && std::prev(mark)->position >= start) return std::prev(mark)->message;
  return {};
}

bool UnansweredMarks::MoveToNext() {
  if (marks_.empty()) return false;
  QTextCursor caret = view_->textCursor();
  const auto next = FirstFrom(marks_, caret.position() + 1);
  caret.setPosition(next == marks_.end() ? marks_.front().position : next->position);
  view_->setTextCursor(caret);
  view_->ensureCursorVisible();
  return true;
}

bool UnansweredMarks::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const auto mark = MarkAt(help->pos());
  if (mark == marks_.end()) return false;
  QToolTip::showText(help->globalPos(), mark->message, view_->viewport());
  return true;
}

void UnansweredMarks::OnContentsChange(int position, int removed, int added) {
  if (marks_.empty()) return;
  // Undo went back past the calculation: the marks were of text that is gone.
  if (view_->document()->availableUndoSteps() < undo_steps_) return Clear();
  const std::size_t before = marks_.size();
  // The marks in the text removed go; those after it move with it.
  auto kept = marks_.erase(FirstFrom(marks_, position), FirstFrom(marks_, position + removed));
  for (; kept != marks_.end(); ++kept) kept->position += added - removed;
  // So do the marks of every line the edit touched: what they said may no longer hold.
  const int from = lines_->LineAround(position).first;
  const int to = lines_->LineAround(position + added).second;
  marks_.erase(FirstFrom(marks_, from),
               std::ranges::upper_bound(marks_, to, {}, &UnansweredMark::position));
  if (marks_.size() == before) return;
  ShowVisible();
  emit Changed();
}

void UnansweredMarks::ShowVisible() {
  if (marks_.empty() && shown_.empty()) return;  // as after most calculations: nothing to look up
  const QRect shown = view_->viewport()->rect();
  const int top = view_->cursorForPosition(shown.topLeft()).block().position();
  const QTextBlock bottom = view_->cursorForPosition(shown.bottomRight()).block();
  const int end = bottom.position() + bottom.length();
  std::vector<int> visible;
  for (auto mark = FirstFrom(marks_, top); mark != marks_.end() && mark->position < end; ++mark) {
    visible.push_back(mark->position);
  }
  if (visible == shown_) return;
  shown_ = std::move(visible);  // before the view asks again while it takes them
  QTextCharFormat wavy;
  wavy.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  wavy.setUnderlineColor(Qt::red);
  QList<QTextEdit::ExtraSelection> selections;
  for (const int position : shown_) {
    QTextCursor equals(view_->document());
    equals.setPosition(position);
    equals.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    selections.append({equals, wavy});
  }
  view_->setExtraSelections(selections);
}

std::vector<UnansweredMark>::const_iterator UnansweredMarks::MarkAt(QPoint point) const {
  // The caret position nearest point lies before or after the character point is on.
  const int position = view_->cursorForPosition(point).position();
  for (auto mark = FirstFrom(marks_, position - 1);
       mark != marks_.end() && mark->position <= position; ++mark) {
    QTextCursor equals(view_->document());
    equals.setPosition(mark->position);
    const QRect before = view_->cursorRect(equals);
    equals.movePosition(QTextCursor::NextCharacter);
    if (QRect(before.topLeft(), QPoint(view_->cursorRect(equals).left() - 1, before.bottom()))
            .contains(point)) {
      return mark;
    }
  }
  return marks_.end();
}

}  // namespace tallo::shell
