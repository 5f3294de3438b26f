#include "shell/tallo_doc.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "shell/safe_write.h"

namespace tallo::shell {
namespace {

// Characters that a QTextDocument takes as the end of a paragraph, besides LF.
bool IsParagraphBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// The document property that tells SeparatorsAreText.
constexpr char kSeparatorsAreText[] = "tallo-separators-are-text";

// text as DocumentText will give it back from a QTextDocument it was put into.
QString AsDocumentHoldsIt(QString text) {
  if (std::any_of(text.cbegin(), text.cend(), IsParagraphBreak)) {
    std::replace_if(text.begin(), text.end(), IsParagraphBreak, QChar(u'\n'));
  }
  return text;
}

// Joins the lines of text into paragraphs of up to kLinesPerParagraph lines by line separators.
// The lines of a paragraph all hold TABs or all hold none: columns line up paragraph by paragraph.
// A line longer than kLongestGroupedLine stays alone: a paragraph that an edit changes is laid out
// again at once, and one that holds a single long line is laid out only when shown.
QString GroupLines(QString text) {
  enum class Kind { kPlain, kTabbed, kLong };
  int lines = 0;  // in the paragraph so far
  Kind kind = Kind::kPlain;
  for (qsizetype start = 0;;) {
    const qsizetype end = text.indexOf(u'\n', start);
    const QStringView line = QStringView(text).sliced(start, (end < 0 ? text.size() : end) - start);
    const Kind line_kind = line.size() > kLongestGroupedLine ? Kind::kLong
                           : line.contains(u'\t')            ? Kind::kTabbed
                                                             : Kind::kPlain;
    if (lines > 0 && lines < kLinesPerParagraph && line_kind == kind && kind != Kind::kLong) {
      text[start - 1] = QChar::LineSeparator;
    } else {
      lines = 0;
    }
    kind = line_kind;
    ++lines;
    if (end < 0) return text;
    start = end + 1;
  }
}

QByteArray Digest(const QString& text) {
  return QCryptographicHash::hash(
      QByteArrayView(reinterpret_cast<const char*>(text.constData()), text.size() * 2),
      QCryptographicHash::Sha1);
}

QString TooLargeMessage(qint64 bytes) {
  constexpr qint64 kMegabyte = qint64{1} << 20;
  return CTalloDoc::tr(
             "It holds %1 MB; the editor opens files of up to %2 MB. tallo-calc -i calculates "
             "larger worksheets.")
      .arg((bytes + kMegabyte - 1) / kMegabyte)
      .arg(kLargestFileBytes / kMegabyte);
}

}  // namespace

bool SeparatorsAreText(const QTextDocument& document) {
  return document.property(kSeparatorsAreText).toBool();
}

QChar AnswerLineEnd(const QTextDocument& document) {
  return SeparatorsAreText(document) ? QChar(u'\n') : QChar(QChar::LineSeparator);
}

QString DocumentText(const QTextDocument& document) {
  QString text = document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
  if (!SeparatorsAreText(document)) text.replace(QChar::LineSeparator, u'\n');
  return text;
}

QByteArray DocumentUtf8(const QTextDocument& document) {
  const bool separators_are_text = SeparatorsAreText(document);
  QByteArray utf8;
  utf8.reserve(document.characterCount());  // at least a byte for each character
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block != document.begin()) utf8 += '\n';
    QString line = block.text();
    if (!separators_are_text) line.replace(QChar::LineSeparator, u'\n');
    utf8 += line.toUtf8();
  }
  return utf8;
}

CTalloDoc::CTalloDoc(QTextDocument* text, QObject* parent) : QObject(parent), text_(text) {}

void CTalloDoc::NewDocument(const QString& path) {
  text_->setPlainText(QString());
  text_->setModified(false);
  text_->setProperty(kSeparatorsAreText, false);
  format_ = TextFormat();
  saved_bytes_.clear();
  saved_digest_.clear();
  SetPath(path.isEmpty() ? path : QFileInfo(path).absoluteFilePath());
}

CTalloDoc::OpenResult CTalloDoc::Open(const QString& path, QString* error,
                                      const LoadProgress& progress) {
  const QFileInfo info(path);
  if (info.isDir()) {
    *error = tr("It is a folder.");
    return OpenResult::Failed;
  }
  // A device or a pipe may never end, or wait for a writer forever.
  if (info.exists() && !info.isFile()) {
    *error = tr("It is not a regular file.");
    return OpenResult::Failed;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return OpenResult::Failed;
  }
  if (file.size() > kLargestFileBytes) {
    *error = TooLargeMessage(file.size());
    return OpenResult::Failed;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return OpenResult::Failed;
  }
  if (bytes.size() > kLargestFileBytes) {  // it grew while it was read
    *error = TooLargeMessage(bytes.size());
    return OpenResult::Failed;
  }
  DecodedText decoded = DecodeTextFile(bytes);
  QByteArray digest;  // of the text, when encoding it would not give the file's bytes again
  {
    const QString held = AsDocumentHoldsIt(decoded.text);
    if (EncodeTextFile(held, decoded.format) != bytes) digest = Digest(held);
  }
  if (!LoadText(std::move(decoded.text), progress)) return OpenResult::Cancelled;
  format_ = decoded.format;
  saved_digest_ = digest;
  saved_bytes_ = digest.isEmpty() ? QByteArray() : std::move(bytes);
  SetPath(info.absoluteFilePath());
  return OpenResult::Opened;
}

bool CTalloDoc::Restore(const QString& path, const TextFormat& format, const QString& text,
                        const LoadProgress& progress) {
  if (!LoadText(text, progress)) return false;
  format_ = format;
  // Nothing of this text is on disk yet: saving encodes it.
  saved_bytes_.clear();
  saved_digest_.clear();
  text_->setModified(true);
  SetPath(path);
  return true;
}

bool CTalloDoc::LoadText(QString text, const LoadProgress& progress) {
  loading_ = true;
  text_->setPlainText(QString());
  const bool separators_are_text = text.contains(QChar::LineSeparator);
  text_->setProperty(kSeparatorsAreText, separators_are_text);
  if (!separators_are_text) text = GroupLines(std::move(text));
  // Loading is not an edit to undo; turning undo off also empties its history.
  text_->setUndoRedoEnabled(false);
  QTextCursor end(text_);
  bool cancelled = false;
  for (qsizetype done = 0; done < text.size() && !cancelled;) {
    // Parts end at paragraph ends: a part that ends inside a paragraph would have the view lay
    // that whole paragraph out again after every part.
    const qsizetype line_end =
        text.indexOf(u'\n', std::min(text.size(), done + kLoadPartCharacters) - 1);
    const qsizetype next = line_end < 0 ? text.size() : line_end + 1;
    end.insertText(text.sliced(done, next - done));
    done = next;
    cancelled = progress && !progress(done, text.size());
  }
  text_->setUndoRedoEnabled(true);
  loading_ = false;
  if (cancelled) {
    NewDocument();
    return false;
  }
  text_->setModified(false);
  return true;
}

CTalloDoc::SaveResult CTalloDoc::Save(const QString& path, QString* error) {
  const QString text = DocumentText(*text_);
  const bool as_read = !saved_digest_.isEmpty() && Digest(text) == saved_digest_;
  QByteArray bytes;
  if (as_read) {
    bytes = saved_bytes_;
  } else if (std::optional<QByteArray> encoded = EncodeTextFile(text, format_)) {
    bytes = std::move(*encoded);
  } else {
    return SaveResult::NotEncodable;
  }
  if (!WriteFileSafely(path, bytes, error)) return SaveResult::Failed;
  if (!as_read) {  // encoding the text gives the file's bytes again
    saved_bytes_.clear();
    saved_digest_.clear();
  }
  text_->setModified(false);
  SetPath(QFileInfo(path).absoluteFilePath());
  return SaveResult::Saved;
}

void CTalloDoc::ConvertToUtf8() {
  format_.encoding = Encoding::Utf8;
  format_.byte_order_mark = false;
  // The bytes on disk no longer stand for the text in the new encoding.
  saved_bytes_.clear();
  saved_digest_.clear();
}

QString CTalloDoc::DisplayNameOf(const QString& path) {
  return path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName();
}

bool CTalloDoc::IsModified() const { return text_->isModified(); }

void CTalloDoc::SetModified(bool modified) { text_->setModified(modified); }

void CTalloDoc::SetPath(const QString& path) {
  path_ = path;
  emit PathChanged(path_);
}

}  // namespace tallo::shell
