#pragma once
// The document: which file the editor's text belongs to, in what format it is kept, and
// whether it has changed. The text itself lives in the view's QTextDocument.

#include <QByteArray>
#include <QChar>
#include <QObject>
#include <QString>
#include <functional>

#include "shell/text_file.h"

class QTextDocument;

namespace tallo::shell {

// The largest file the editor opens. The text document holds about ten bytes of memory per
// byte of file, three more once the window's width changes, and takes some twenty seconds
// to fill at this size; tallo-calc -i calculates larger worksheets.
inline constexpr qint64 kLargestFileBytes = qint64{128} << 20;

// Lines of a file that go into one paragraph of the text (SeparatorsAreText): a QTextDocument
// spends most of a load making paragraphs, one for each line would take seven times as long.
inline constexpr int kLinesPerParagraph = 64;
// Longer lines have paragraphs of their own (GroupLines says why).
inline constexpr qsizetype kLongestGroupedLine = 1024;

// Characters put into the text per part of a load: about a tenth of a second's work, after which
// the window is drawn again and the load may be cancelled.
inline constexpr qsizetype kLoadPartCharacters = qsizetype{1} << 20;

// Lines inside a paragraph: the lines of a file go into the text kLinesPerParagraph to a paragraph,
// and the lines of an answer into the paragraph of its statement, ended by line separators
// (U+2028): a QTextDocument takes much longer to make a paragraph than a line inside one. A file
// that holds line separators of its own keeps them as characters, and has a paragraph for each
// line.
bool SeparatorsAreText(const QTextDocument& document);
// What ends the lines of an answer in document: U+2028, or LF where separators are text.
QChar AnswerLineEnd(const QTextDocument& document);

// The text of a QTextDocument with LF line ends (paragraph ends, and the line separators that are
// line ends) and every other character as it is (unlike toPlainText, which turns no-break spaces
// into spaces).
QString DocumentText(const QTextDocument& document);
// DocumentText in UTF-8, made a paragraph at a time: the whole text is never held twice.
QByteArray DocumentUtf8(const QTextDocument& document);

// Told between the parts of a long load how many characters are in and how many in all; false
// cancels the load.
using LoadProgress = std::function<bool(qint64 done, qint64 total)>;

class CTalloDoc : public QObject {
  Q_OBJECT

 public:
  enum class OpenResult { Opened, Failed, Cancelled };
  enum class SaveResult { Saved, Failed, NotEncodable };

  // text is the view's document; it must outlive this object.
  explicit CTalloDoc(QTextDocument* text, QObject* parent = nullptr);

  // An empty, unmodified document with LF line ends in UTF-8, unnamed or named path (a file that
  // does not exist yet: saving makes it).
  void NewDocument(const QString& path = {});

  // Reads path into the text, in parts so that progress can keep the window alive and offer to
  // cancel. On failure returns Failed with the reason in error and leaves everything as it was; a
  // cancelled load leaves a new, empty document.
  OpenResult Open(const QString& path, QString* error, const LoadProgress& progress = {});

  // Takes text as the modified, unsaved content of path (empty for an unnamed document) in format:
  // the work kept by an editor that ended without saving it. A cancelled load leaves a new, empty
  // document and returns false.
  bool Restore(const QString& path, const TextFormat& format, const QString& text,
               const LoadProgress& progress = {});

  // Writes the text to path (WriteFileSafely). A text unchanged since it was opened or saved is
  // written as the very bytes that were read. On failure the file on disk keeps its old bytes and
  // the document stays modified.
  SaveResult Save(const QString& path, QString* error);

  // Keeps the line ends but writes UTF-8 from now on (for characters an 8-bit file cannot
  // hold).
  void ConvertToUtf8();

  // The view's document that holds the text.
  QTextDocument* text() const { return text_; }
  QString path() const { return path_; }
  // The file name without folder, or "Untitled".
  QString DisplayName() const { return DisplayNameOf(path_); }
  static QString DisplayNameOf(const QString& path);
  const TextFormat& format() const { return format_; }
  bool IsModified() const;
  void SetModified(bool modified);
  // True while Open or Restore is putting a text in: its changes are not edits.
  bool IsLoading() const { return loading_; }

 signals:
  void PathChanged(const QString& path);

 private:
  // Replaces the text by text (LF line ends), in parts; false when progress cancelled it, which
  // leaves a new, empty document.
  bool LoadText(QString text, const LoadProgress& progress);
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString path_;
  TextFormat format_;
  // What the file held when it was opened or saved last, and a digest of the text that stood for
  // it, to write it back unchanged; kept only when encoding the text would not give the same bytes.
  QByteArray saved_bytes_;
  QByteArray saved_digest_;
  bool loading_ = false;
};

}  // namespace tallo::shell
