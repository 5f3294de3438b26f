#pragma once
// Find and replace in the editor's text.

#include <QString>

class QPlainTextEdit;

namespace tallo::shell {

struct SearchOptions {
  QString text;
  bool match_case = false;
  bool whole_word = false;
  bool backward = false;
};

enum class Found {
  kNone,
  kAhead,       // after the selection (before it, searching backward)
  kRoundTheEnd  // only after going round the end of the text (its start, searching backward)
};

// Selects the next match after the selection (or before it, searching backward), going round
// the end of the text once. None, with the selection kept, when there is no match.
Found FindNext(QPlainTextEdit& editor, const SearchOptions& options);

// Replaces the selection when it is a match, then selects the next match. None when no match
// is left.
Found ReplaceNext(QPlainTextEdit& editor, const SearchOptions& options, const QString& with);

// Replaces every match in the text as one undoable edit and tells how many there were.
int ReplaceAll(QPlainTextEdit& editor, const SearchOptions& options, const QString& with);

}  // namespace tallo::shell
