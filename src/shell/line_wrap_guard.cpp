#include "shell/line_wrap_guard.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace tallo::shell {
namespace {

// Break opportunities that every script has. Other characters count as part of a run, so some runs
// that Qt could break are taken as long: those then wrap anywhere, which looks the same for them.
bool IsBreak(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == QChar::ParagraphSeparator ||
         c == QChar::LineSeparator;
}

}  // namespace

bool HasUnbreakableRun(QStringView text, qsizetype limit) {
  qsizetype run = 0;
  for (const QChar c : text) {
    run = IsBreak(c) ? 0 : run + 1;
    if (run > limit) return true;
  }
  return false;
}

LineWrapGuard::LineWrapGuard(QPlainTextEdit* view) : QObject(view), view_(view) {
  // Connected directly: the document tells its layout about the change only after this signal, so
  // the new mode is in place before the changed text is laid out.
  connect(view->document(), &QTextDocument::contentsChange, this, &LineWrapGuard::OnContentsChange);
}

void LineWrapGuard::OnContentsChange(int position, int /*removed*/, int added) {
  QTextDocument& document = *view_->document();
  if (document.isEmpty()) {
    view_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return;
  }
  if (view_->wordWrapMode() == QTextOption::WrapAnywhere) return;
  // A run ends with its paragraph, so only paragraphs longer than the limit can hold one, and
  // in them only the changed text with the limit's length on either side: the run the change
  // made, lengthened or joined lies there.
  const qsizetype changed_end = qsizetype{position} + added;
  QTextBlock block = document.findBlock(position);
  for (qsizetype start = block.position(); block.isValid() && start <= changed_end;
       start += block.length(), block = block.next()) {
    const qsizetype end = start + block.length() - 1;  // before the paragraph's end
    if (end - start <= kLongestWrappedRun) continue;
    QTextCursor window(&document);
    window.setPosition(static_cast<int>(std::max(start, position - kLongestWrappedRun)));
    window.setPosition(static_cast<int>(std::min(end, changed_end + kLongestWrappedRun)),
                       QTextCursor::KeepAnchor);
    if (HasUnbreakableRun(window.selectedText(), kLongestWrappedRun)) {
      view_->setWordWrapMode(QTextOption::WrapAnywhere);
      return;
    }
  }
}

}  // namespace tallo::shell
