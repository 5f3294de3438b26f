#pragma once
// The document: which file the editor's text belongs to, in what format it is kept, and
// whether it has changed. The text itself lives in the view's QTextDocument.

#include <QByteArray>
#include <QObject>
#include <QString>

#include "shell/text_file.h"

class QTextDocument;

namespace tallo::shell {

// The text of a QTextDocument with LF line ends and every character as it is (unlike
// toPlainText, which turns no-break spaces into spaces).
QString DocumentText(const QTextDocument& document);

class CTalloDoc : public QObject {
  Q_OBJECT

 public:
  enum class SaveResult { Saved, Failed, NotEncodable };

  // text is the view's document; it must outlive this object.
  explicit CTalloDoc(QTextDocument* text, QObject* parent = nullptr);

  // An empty, unnamed, unmodified document with LF line ends in UTF-8.
  void NewDocument();

  // Reads path into the text. On failure returns false with the reason in error and leaves
  // everything as it was.
  bool Open(const QString& path, QString* error);

  // Writes the text to path atomically. A text unchanged since it was opened or saved is
  // written as the very bytes that were read. On failure the file on disk is untouched and
  // the document stays modified.
  SaveResult Save(const QString& path, QString* error);

  // Keeps the line ends but writes UTF-8 from now on (for characters an 8-bit file cannot
  // hold).
  void ConvertToUtf8();

  QString path() const { return path_; }
  // The file name without folder, or "Untitled".
  QString DisplayName() const;
  const TextFormat& format() const { return format_; }
  bool IsModified() const;
  void SetModified(bool modified);

 signals:
  void PathChanged(const QString& path);

 private:
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString path_;
  TextFormat format_;
  // What the file held when it was opened or saved last, to write it back unchanged.
  QByteArray saved_bytes_;
  QString saved_text_;
};

}  // namespace tallo::shell
