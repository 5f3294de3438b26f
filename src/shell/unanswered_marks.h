#pragma once
// The "=" that the last calculation left without an answer, underlined with a wavy line, their
// reasons shown on hovering. Only the view's display changes: the text, its undo steps and the
// saved bytes stay as they are.
//
// A worksheet may hold hundreds of thousands of them, so the marks are plain positions that
// follow the edits, and only those near what is shown are given to the view to draw.

#include <QObject>
#include <vector>

#include "shell/worksheet_edit.h"

class QPlainTextEdit;

namespace tallo::shell {

class LineIndex;

class UnansweredMarks : public QObject {
  Q_OBJECT

 public:
  // Marks the text of view, whose lines are lines; both must outlive this object.
  UnansweredMarks(QPlainTextEdit* view, const LineIndex* lines);

  // The marks of a calculation just put into the text: they stay until an edit of their line,
  // or until Undo goes back past the calculation (Redo does not bring them back).
  void Set(std::vector<UnansweredMark> marks);
  void Clear();
  bool IsEmpty() const { return marks_.empty(); }

  // The reason of the mark on position's line at or after position, else of the last one before
  // it; empty when that line has none.
  QString ReasonOnLineOf(int position) const;
  // Moves the caret to the next mark after it, or to the first; false when there is none.
  bool MoveToNext();

 signals:
  // Marks were set, or removed.
  void Changed();

 protected:
  // Hovering the viewport over a marked "=" shows its reason.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnContentsChange(int position, int removed, int added);
  // Gives the view the marks of the paragraphs it shows, when they are not the ones it has.
  void ShowVisible();
  // The mark whose "=" is drawn at point of the viewport, or marks_.end().
  std::vector<UnansweredMark>::const_iterator MarkAt(QPoint point) const;

  QPlainTextEdit* view_;
  const LineIndex* lines_;
  std::vector<UnansweredMark> marks_;  // in ascending order of position
  int undo_steps_ = 0;                 // of the document when the marks were set
  std::vector<int> shown_;             // the positions of the marks the view draws
};

}  // namespace tallo::shell
