#include "shell/tallo_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace tallo::shell {

QString DocumentText(const QTextDocument& document) {
  return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

CTalloDoc::CTalloDoc(QTextDocument* text, QObject* parent) : QObject(parent), text_(text) {}

void CTalloDoc::NewDocument() {
  text_->setPlainText(QString());
  text_->setModified(false);
  format_ = TextFormat();
  saved_bytes_.clear();
  saved_text_.clear();
  SetPath(QString());
}

bool CTalloDoc::Open(const QString& path, QString* error) {
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    *error = tr("It is a folder.");
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return false;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return false;
  }
  DecodedText decoded = DecodeTextFile(bytes);
  text_->setPlainText(decoded.text);
  text_->setModified(false);
  format_ = decoded.format;
  saved_bytes_ = std::move(bytes);
  // As the text document holds it: it reads a paragraph separator (U+2029) as a line end.
  saved_text_ = DocumentText(*text_);
  SetPath(QFileInfo(path).absoluteFilePath());
  return true;
}

CTalloDoc::SaveResult CTalloDoc::Save(const QString& path, QString* error) {
  QString text = DocumentText(*text_);
  QByteArray bytes;
  if (text == saved_text_) {
    bytes = saved_bytes_;
  } else if (std::optional<QByteArray> encoded = EncodeTextFile(text, format_)) {
    bytes = std::move(*encoded);
  } else {
    return SaveResult::NotEncodable;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    *error = file.errorString();
    file.cancelWriting();
    return SaveResult::Failed;
  }
  saved_bytes_ = std::move(bytes);
  saved_text_ = std::move(text);
  text_->setModified(false);
  SetPath(QFileInfo(path).absoluteFilePath());
  return SaveResult::Saved;
}

void CTalloDoc::ConvertToUtf8() {
  format_.encoding = Encoding::Utf8;
  format_.byte_order_mark = false;
  // The bytes on disk no longer stand for the text in the new encoding.
  saved_bytes_.clear();
  saved_text_.clear();
}

QString CTalloDoc::DisplayName() const {
  return path_.isEmpty() ? tr("Untitled") : QFileInfo(path_).fileName();
}

bool CTalloDoc::IsModified() const { return text_->isModified(); }

void CTalloDoc::SetModified(bool modified) { text_->setModified(modified); }

void CTalloDoc::SetPath(const QString& path) {
  path_ = path;
  emit PathChanged(path_);
}

}  // namespace tallo::shell
