#pragma once
// Line numbers as the file counts its lines. A paragraph of the text may hold several lines,
// ended by line separators (U+2028) where those are line ends (SeparatorsAreText is false): the
// lines of answers. Counting them costs a look at each paragraph once; an edit makes only the
// paragraphs after it be looked at again, and only when a line beyond it is asked for.

#include <QObject>
#include <utility>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace tallo::shell {

class LineIndex : public QObject {
  Q_OBJECT

 public:
  // Follows the edits of document, which must outlive this object.
  explicit LineIndex(QTextDocument* document);

  int LineCount() const;
  // The line that position lies on, and its column in that line, from 0.
  int LineOf(int position) const;
  int ColumnOf(int position) const;
  // Where line (from 0; held to the lines there are) starts.
  int StartOfLine(int line) const;
  // Where the line that position lies on starts and ends (before its line end). Looks only at
  // position's paragraph, so it stays cheap right after an edit.
  std::pair<int, int> LineAround(int position) const;

 private:
  int Separators(const QTextBlock& block) const;
  // The separators in the paragraphs before paragraph number.
  int SeparatorsBefore(int number) const;

  QTextDocument* document_;
  // Separators before each paragraph, for the first paragraphs; edits cut it short.
  mutable std::vector<int> before_;
};

}  // namespace tallo::shell
