#pragma once
// Unsaved work kept on disk while the editor runs: a few seconds after the last change a copy of
// the modified text is written to the user's data folder, so that a crash loses at most those
// seconds. Saving the document, or dropping its changes on purpose, removes the copy; at the next
// start a copy whose editor has ended is offered for restoring.
//
// Every editor writes its own copy, under a name no other editor uses, and holds a lock file beside
// it while the copy exists, so a running editor's copy is never offered nor overwritten by another.
// Copies are replaced atomically: a crash while one is written leaves the previous one whole.

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "shell/text_file.h"

class QLockFile;

namespace tallo::shell {

class CTalloDoc;

// What a copy holds: the text and the file it belongs to.
struct RecoveredText {
  QString path;  // empty for a document never saved
  TextFormat format;
  QString text;  // LF line ends
  QDateTime written;
  bool operator==(const RecoveredText&) const = default;
};

// A copy file: a title line, one line of JSON telling the file, its format, when the copy was
// written and how many bytes of text follow, then the text in UTF-8.
QByteArray EncodeRecoveryCopy(const RecoveredText& copy);
// Nothing when bytes are not a whole copy.
std::optional<RecoveredText> DecodeRecoveryCopy(const QByteArray& bytes);

// A copy left by an editor that ended without removing it. It is claimed (locked) while this object
// lives, so that no other editor offers it meanwhile; letting the object go leaves the copy for a
// later start.
class OrphanedCopy {
 public:
  // The whole copies in folder whose editors have ended, newest first.
  static std::vector<OrphanedCopy> ClaimAll(const QString& folder);

  OrphanedCopy(OrphanedCopy&&) noexcept;
  OrphanedCopy& operator=(OrphanedCopy&&) noexcept;
  ~OrphanedCopy();

  const RecoveredText& content() const { return content_; }
  // Deletes the copy, when its changes are not wanted.
  void Remove();

 private:
  friend class RecoveryCopy;
  OrphanedCopy(QString folder, QString id, std::unique_ptr<QLockFile> lock, RecoveredText content);

  QString folder_;
  QString id_;
  std::unique_ptr<QLockFile> lock_;
  RecoveredText content_;
};

// When copies are written: once the text has been left alone quiet_ms, or when a change has waited
// longest_wait_ms while the typing went on.
struct RecoveryTiming {
  int quiet_ms = 3000;
  int longest_wait_ms = 30000;
};

class RecoveryCopy : public QObject {
  Q_OBJECT

 public:
  // Keeps copies of doc's text in folder, which is made when the first copy is written.
  RecoveryCopy(CTalloDoc* doc, QString folder, QObject* parent = nullptr,
               RecoveryTiming timing = {});
  // Leaves a copy in place (the document still had unsaved changes) for the next start.
  ~RecoveryCopy() override;

  // The folder for copies in the user's data folder.
  static QString DefaultFolder();

  QString folder() const { return folder_; }
  // Where this editor's copy is written.
  QString CopyPath() const;

  // Writes the copy now when the document is modified, else removes it. False, with WriteFailed
  // told, when it cannot be written; the previous copy then stays.
  bool WriteNow();
  // Removes the copy: the document was saved or its changes were dropped on purpose.
  void Discard();
  // Continues a copy of an ended editor whose text the document now holds: later copies replace it.
  void Adopt(OrphanedCopy&& orphan);

 signals:
  void WriteFailed(const QString& reason);

 private:
  void Schedule();
  bool Write(QString* error);

  CTalloDoc* doc_;
  QString folder_;
  RecoveryTiming timing_;
  QString id_;
  std::unique_ptr<QLockFile> lock_;  // held while the copy exists
  QTimer timer_;
  QElapsedTimer waiting_;  // since the oldest change that is not in the copy
};

}  // namespace tallo::shell
