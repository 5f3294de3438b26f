#include "shell/line_index.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "shell/tallo_doc.h"

namespace tallo::shell {
namespace {

// The line separators that are line ends in text.
int Count(const QTextDocument& document, const QString& text) {
  return SeparatorsAreText(document) ? 0 : static_cast<int>(text.count(QChar::LineSeparator));
}

}  // namespace

LineIndex::LineIndex(QTextDocument* document) : QObject(document), document_(document) {
  connect(document, &QTextDocument::contentsChange, this, [this](int position) {
    // What lies before the changed paragraph is as it was.
    const auto kept = static_cast<std::size_t>(document_->findBlock(position).blockNumber()) + 1;
    if (before_.size() > kept) before_.resize(kept);
  });
}

int LineIndex::Separators(const QTextBlock& block) const { return Count(*document_, block.text()); }

int LineIndex::SeparatorsBefore(int number) const {
  if (before_.empty()) before_.push_back(0);
  QTextBlock block = document_->findBlockByNumber(static_cast<int>(before_.size()) - 1);
  while (static_cast<int>(before_.size()) <= number) {
    before_.push_back(before_.back() + Separators(block));
    block = block.next();
  }
  return before_[static_cast<std::size_t>(number)];
}

int LineIndex::LineCount() const {
  const QTextBlock last = document_->lastBlock();
  return last.blockNumber() + SeparatorsBefore(last.blockNumber()) + Separators(last) + 1;
}

int LineIndex::LineOf(int position) const {
  const QTextBlock block = document_->findBlock(position);
  return block.blockNumber() + SeparatorsBefore(block.blockNumber()) +
         Count(*document_, block.text().left(position - block.position()));
}

int LineIndex::ColumnOf(int position) const { return position - LineAround(position).first; }

int LineIndex::StartOfLine(int line) const {
  line = std::clamp(line, 0, LineCount() - 1);  // every paragraph counted from here on
  // The last paragraph that starts on this line or before it.
  int first = 0;
  int last = document_->blockCount() - 1;
  while (first < last) {
    const int middle = (first + last + 1) / 2;
    if (middle + before_[static_cast<std::size_t>(middle)] <= line) {
      first = middle;
    } else {
      last = middle - 1;
    }
  }
  const QTextBlock block = document_->findBlockByNumber(first);
  const QString text = block.text();
  qsizetype offset = 0;
  for (int inside = line - first - before_[static_cast<std::size_t>(first)]; inside > 0; --inside) {
    offset = text.indexOf(QChar::LineSeparator, offset) + 1;
  }
  return block.position() + static_cast<int>(offset);
}

std::pair<int, int> LineIndex::LineAround(int position) const {
  const QTextBlock block = document_->findBlock(position);
  const QString text = block.text();
  qsizetype start = 0;
  qsizetype end = text.size();
  if (!SeparatorsAreText(*document_)) {
    const qsizetype column = position - block.position();
    if (column > 0) start = text.lastIndexOf(QChar::LineSeparator, column - 1) + 1;
    if (const qsizetype separator = text.indexOf(QChar::LineSeparator, column); separator >= 0) {
      end = separator;
    }
  }
  return {block.position() + static_cast<int>(start), block.position() + static_cast<int>(end)};
}

}  // namespace tallo::shell
