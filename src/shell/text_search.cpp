#include "shell/text_search.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace tallo::shell {
namespace {

QTextDocument::FindFlags FlagsOf(const SearchOptions& options) {
  QTextDocument::FindFlags flags;
  if (options.match_case) flags |= QTextDocument::FindCaseSensitively;
  if (options.whole_word) flags |= QTextDocument::FindWholeWords;
  if (options.backward) flags |= QTextDocument::FindBackward;
  return flags;
}

bool SelectionIsMatch(const QPlainTextEdit& editor, const SearchOptions& options) {
  const QTextCursor selection = editor.textCursor();
  if (!selection.hasSelection()) return false;
  SearchOptions forward = options;
  forward.backward = false;
  const QTextCursor match =
      editor.document()->find(options.text, selection.selectionStart(), FlagsOf(forward));
  return match.selectionStart() == selection.selectionStart() &&
         match.selectionEnd() == selection.selectionEnd();
}

}  // namespace

Found FindNext(QPlainTextEdit& editor, const SearchOptions& options) {
  const QTextDocument& document = *editor.document();
  const QTextDocument::FindFlags flags = FlagsOf(options);
  Found found = Found::kAhead;
  QTextCursor match = document.find(options.text, editor.textCursor(), flags);
  if (match.isNull()) {
    found = Found::kRoundTheEnd;
    QTextCursor from(editor.document());
    if (options.backward) from.movePosition(QTextCursor::End);
    match = document.find(options.text, from, flags);
  }
  if (match.isNull()) return Found::kNone;
  editor.setTextCursor(match);
  return found;
}

Found ReplaceNext(QPlainTextEdit& editor, const SearchOptions& options, const QString& with) {
  if (SelectionIsMatch(editor, options)) editor.textCursor().insertText(with);
  return FindNext(editor, options);
}

int ReplaceAll(QPlainTextEdit& editor, const SearchOptions& options, const QString& with) {
  SearchOptions forward = options;
  forward.backward = false;
  QTextDocument& document = *editor.document();
  QTextCursor edit(&document);
  edit.beginEditBlock();
  int count = 0;
  // Each search starts after the text just put in, so a replacement that contains the
  // searched text is not replaced again.
  for (QTextCursor match = document.find(options.text, 0, FlagsOf(forward)); !match.isNull();
       match = document.find(options.text, match, FlagsOf(forward))) {
    match.insertText(with);
    ++count;
  }
  edit.endEditBlock();
  return count;
}

}  // namespace tallo::shell
