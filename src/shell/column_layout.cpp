#include "shell/column_layout.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

namespace tallo::shell {
namespace {

// What is kept beside a paragraph: its cells' widths, measured once, and its stops.
struct ColumnData : QTextBlockUserData {
  std::vector<qreal> cells;
  QList<QTextOption::Tab> stops;
  std::optional<quint64> aligned_after;  // the edit count the stops were worked out at
};

ColumnData* DataOf(const QTextBlock& block) { return static_cast<ColumnData*>(block.userData()); }

// The first and last paragraph of the piece of a run of tabbed paragraphs that block belongs to.
std::pair<QTextBlock, QTextBlock> PieceOf(const QTextBlock& block,
                                          const std::function<bool(const QTextBlock&)>& tabbed) {
  // The run is whole when its first paragraph lies within kLongestAlignedRun of block and its
  // last within kLongestAlignedRun of its first.
  QTextBlock first = block;
  for (int up = 0; up < kLongestAlignedRun && tabbed(first.previous()); ++up) {
    first = first.previous();
  }
  QTextBlock last = first;
  for (int down = 0; down < kLongestAlignedRun && tabbed(last.next()); ++down) last = last.next();
  if (!tabbed(first.previous()) && !tabbed(last.next())) return {first, last};
  // A longer run: its piece in block's window of kLongestAlignedRun paragraphs.
  const int start = block.blockNumber() / kLongestAlignedRun * kLongestAlignedRun;
  first = block;
  while (first.blockNumber() > start && tabbed(first.previous())) first = first.previous();
  last = block;
  while (last.blockNumber() < start + kLongestAlignedRun - 1 && tabbed(last.next())) {
    last = last.next();
  }
  return {first, last};
}

void Widen(std::vector<qreal>& widest, const std::vector<qreal>& cells) {
  widest.resize(std::max(widest.size(), cells.size()));
  for (std::size_t k = 0; k < cells.size(); ++k) widest[k] = std::max(widest[k], cells[k]);
}

}  // namespace

std::vector<qreal> TabbedCellWidths(QStringView paragraph, const QFontMetricsF& metrics) {
  std::vector<qreal> widest;
  for (const QStringView line : paragraph.split(QChar::LineSeparator)) {
    std::vector<qreal> widths;
    for (qsizetype start = 0, tab = line.indexOf(u'\t'); tab >= 0;
         start = tab + 1, tab = line.indexOf(u'\t', start)) {
      widths.push_back(metrics.horizontalAdvance(line.sliced(start, tab - start).toString()));
    }
    Widen(widest, widths);
  }
  return widest;
}

QList<QTextOption::Tab> StopsAfter(const std::vector<qreal>& widest, qreal gap) {
  QList<QTextOption::Tab> stops;
  qreal x = 0;
  for (const qreal width : widest) {
    x += width + gap;
    stops.append(QTextOption::Tab(x, QTextOption::LeftTab));
  }
  return stops;
}

qreal ColumnGap(const QFont& font) { return 2 * QFontMetricsF(font).horizontalAdvance(u' '); }

ColumnLayout::ColumnLayout(QTextDocument* document) : QPlainTextDocumentLayout(document) {}

void ColumnLayout::SetAligned(bool aligned) {
  aligned_ = aligned;
  ++edits_;
  requestUpdate();
}

const std::vector<qreal>& ColumnLayout::CellsOf(const QTextBlock& block) const {
  if (measured_font_ != document()->defaultFont()) {
    // Every kept width is in the old font; forget them all.
    measured_font_ = document()->defaultFont();
    for (QTextBlock each = document()->begin(); each.isValid(); each = each.next()) {
      if (each.userData() != nullptr) QTextBlock(each).setUserData(nullptr);
    }
  }
  ColumnData* data = DataOf(block);
  if (data == nullptr) {
    data = new ColumnData;
    data->cells = TabbedCellWidths(block.text(), QFontMetricsF(measured_font_));
    QTextBlock(block).setUserData(data);
  }
  return data->cells;
}

QList<QTextOption::Tab> ColumnLayout::StopsOf(const QTextBlock& block) const {
  if (!aligned_ || CellsOf(block).empty()) return {};
  if (DataOf(block)->aligned_after != edits_) AlignPiece(block);
  return DataOf(block)->stops;
}

void ColumnLayout::AlignPiece(const QTextBlock& block) const {
  const auto tabbed = [this](const QTextBlock& each) {
    return each.isValid() && !CellsOf(each).empty();
  };
  const auto [first, last] = PieceOf(block, tabbed);
  std::vector<qreal> widest;
  for (QTextBlock each = first;; each = each.next()) {
    Widen(widest, DataOf(each)->cells);
    if (each == last) break;
  }
  const QList<QTextOption::Tab> stops = StopsAfter(widest, ColumnGap(measured_font_));
  for (QTextBlock each = first;; each = each.next()) {
    DataOf(each)->stops = stops;
    DataOf(each)->aligned_after = edits_;
    if (each == last) break;
  }
  // Lines of the piece already drawn with their old stops are drawn again.
  const_cast<ColumnLayout*>(this)->requestUpdate();
}

QRectF ColumnLayout::blockBoundingRect(const QTextBlock& block) const {
  if (block.isValid()) {
    const QList<QTextOption::Tab> stops = StopsOf(block);
    const QTextLayout* layout = block.layout();
    if (!stops.isEmpty() && layout->lineCount() == 0) ensureBlockLayout(block);
    // The width of the paragraph's lines is the width the base layout gives them.
    if (layout->lineCount() > 0 && layout->textOption().tabs() != stops) {
      LayOut(block, stops, layout->lineAt(0).width());
    }
  }
  return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void ColumnLayout::documentChanged(int from, int removed, int added) {
  ++edits_;
  // The changed paragraphs are measured again.
  QTextBlock last = document()->findBlock(from + added);
  if (!last.isValid()) last = document()->lastBlock();
  for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
    if (block.userData() != nullptr) block.setUserData(nullptr);
    if (block == last) break;
  }
  QPlainTextDocumentLayout::documentChanged(from, removed, added);
}

// As QPlainTextDocumentLayout lays out a paragraph, with the stops added to its text option.
void ColumnLayout::LayOut(const QTextBlock& block, const QList<QTextOption::Tab>& stops,
                          qreal width) const {
  QTextLayout* layout = block.layout();
  QTextOption option = document()->defaultTextOption();
  option.setTabs(stops);
  layout->setTextOption(option);
  const qreal margin = document()->documentMargin();
  qreal height = 0;
  layout->beginLayout();
  for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(width);
    line.setPosition(QPointF(margin, height));
    height += line.height();
    if (line.leading() < 0) height += qCeil(line.leading());
  }
  layout->endLayout();
  const int lines_before = document()->lineCount();
  QTextBlock(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
  if (document()->lineCount() != lines_before) {
    emit const_cast<ColumnLayout*>(this)->documentSizeChanged(documentSize());
  }
}

void AlignColumnsOf(QTextDocument& document) {
  const QFontMetricsF metrics(document.defaultFont());
  const auto tabbed = [](const QTextBlock& block) {
    return block.isValid() && block.text().contains(u'\t');
  };
  QTextCursor cursor(&document);
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!tabbed(block)) continue;
    const auto [first, last] = PieceOf(block, tabbed);
    std::vector<qreal> widest;
    for (QTextBlock each = first;; each = each.next()) {
      Widen(widest, TabbedCellWidths(each.text(), metrics));
      if (each == last) break;
    }
    QTextBlockFormat format;
    format.setTabPositions(StopsAfter(widest, ColumnGap(document.defaultFont())));
    cursor.setPosition(first.position());
    cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
    cursor.mergeBlockFormat(format);
    block = last;
  }
}

}  // namespace tallo::shell
