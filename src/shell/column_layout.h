#pragma once
// Columns that line up. In every run of consecutive lines that hold TABs, the k-th TAB of each
// line ends at the same place: past the widest k-th cell of the run (the text before the k-th
// TAB, after the one before it) by a gap. Only what is shown changes, never the text: the tab
// stops of a paragraph are kept beside it and given to its layout.
//
// A run is aligned when one of its lines is laid out, so only runs near what is shown cost
// anything, and an edit costs only the runs on the screen. Runs of more than kLongestAlignedRun
// paragraphs after their first are aligned in pieces of that many paragraphs (counted from the
// start of the document), so that a huge table costs no more than a small one.

#include <QFont>
#include <QList>
#include <QPlainTextDocumentLayout>
#include <QStringView>
#include <QTextOption>
#include <vector>

class QFontMetricsF;
class QTextDocument;

namespace tallo::shell {

inline constexpr int kLongestAlignedRun = 500;

// The widths of the cells of a paragraph that end in a TAB, in order; empty for a paragraph without
// TABs. A paragraph with several lines (the lines of an answer, ended by line separators) counts
// as one line whose k-th cell is the widest k-th cell of its lines: one paragraph has one set of
// stops.
std::vector<qreal> TabbedCellWidths(QStringView paragraph, const QFontMetricsF& metrics);

// The stops of a run whose widest cells, column by column, are widest: each stop lies gap past the
// widest cell after the stop before it.
QList<QTextOption::Tab> StopsAfter(const std::vector<qreal>& widest, qreal gap);

// The gap between a column's widest cell and the next column in font: two spaces.
qreal ColumnGap(const QFont& font);

class ColumnLayout : public QPlainTextDocumentLayout {
  Q_OBJECT

 public:
  explicit ColumnLayout(QTextDocument* document);

  // On: columns line up. Off: TABs go to the document's evenly spaced stops.
  void SetAligned(bool aligned);
  bool aligned() const { return aligned_; }

  // The stops of block's paragraph: those of its run when columns line up, else none.
  QList<QTextOption::Tab> StopsOf(const QTextBlock& block) const;

  // Lays block out with its run's stops before telling where it is.
  QRectF blockBoundingRect(const QTextBlock& block) const override;

 protected:
  void documentChanged(int from, int removed, int added) override;

 private:
  const std::vector<qreal>& CellsOf(const QTextBlock& block) const;
  void AlignPiece(const QTextBlock& block) const;
  // Lays block's lines out again, width wide, with stops.
  void LayOut(const QTextBlock& block, const QList<QTextOption::Tab>& stops, qreal width) const;

  bool aligned_ = true;
  // Stops are worked out again once an edit has been made since (any edit may join or part runs or
  // widen a cell).
  mutable quint64 edits_ = 1;
  // The font the kept cell widths were measured in.
  mutable QFont measured_font_;
};

// Lines up the columns of document (a copy to print) in its default font, as tab positions of its
// block formats, which every text layout honours.
void AlignColumnsOf(QTextDocument& document);

}  // namespace tallo::shell
