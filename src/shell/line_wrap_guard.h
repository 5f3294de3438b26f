#pragma once
// Qt lays out a paragraph wrapped at word boundaries in time that grows with the square of its
// longest run of characters without a break: it measures the rest of the run again for every screen
// line the run fills. A data set of a hundred thousand numbers pasted on one line ("1.5,2.25,...")
// would freeze the editor for minutes. Wrapping anywhere costs linear time, so a document that
// holds such a run wraps anywhere until it is emptied.

#include <QObject>
#include <QStringView>

class QPlainTextEdit;

namespace tallo::shell {

// Longer runs switch the view to wrapping anywhere; laying out one costs well under a millisecond.
inline constexpr qsizetype kLongestWrappedRun = 4096;

// Whether text holds more than limit characters in a row without a space, TAB or line end (a
// line separator among them).
bool HasUnbreakableRun(QStringView text, qsizetype limit);

class LineWrapGuard : public QObject {
  Q_OBJECT

 public:
  // Watches the text of view, which must outlive this object.
  explicit LineWrapGuard(QPlainTextEdit* view);

 private:
  // Looks at the changed text and the runs it may have joined, before the view lays it out.
  void OnContentsChange(int position, int removed, int added);

  QPlainTextEdit* view_;
};

}  // namespace tallo::shell
