// Recovery copies of unsaved work: their file format, when they are written and removed, one
// copy per editor that no other editor takes while it runs, and a failed write that leaves the
// previous copy whole.

#include "shell/recovery_copy.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "shell/tallo_doc.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

namespace {

// One editor's document and its copies, without the window around them.
struct Editor {
  explicit Editor(const QString& folder, RecoveryTiming timing = {})
      : doc(&text), recovery(std::make_unique<RecoveryCopy>(&doc, folder, nullptr, timing)) {
    doc.NewDocument();
  }
  void Type(const QString& typed) {
    QTextCursor end(&text);
    end.movePosition(QTextCursor::End);
    end.insertText(typed);
  }
  QString Copied() const {
    const auto copy = DecodeRecoveryCopy(ReadBytes(recovery->CopyPath()));
    return copy ? copy->text : QStringLiteral("<none>");
  }

  QTextDocument text;
  CTalloDoc doc;
  std::unique_ptr<RecoveryCopy> recovery;
};

QStringList Texts(const std::vector<OrphanedCopy>& orphans) {
  QStringList texts;
  for (const OrphanedCopy& orphan : orphans) texts << orphan.content().text;
  return texts;
}

}  // namespace

class RecoveryCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }
  // What is written reads back the same; a copy that is not whole is never taken for the work.
  void CopyFileFormat();
  // A copy follows a pause in the typing, or a long wait during it; saving, undoing back to the
  // saved text or a new document remove it.
  void CopiesFollowTheChanges();
  void CopyKeepsWhatTheTextBelongsTo();
  // Two editors write two copies; neither is offered while its editor runs, a copy is offered to
  // one editor at a time, and one restored goes on being written by its new editor.
  void EachEditorHasItsOwnCopy();
  void FailedWriteKeepsThePreviousCopy();
  void TextBeingLoadedIsNeverCopied();

 private:
  QString Folder() const { return dir_->filePath("recovery"); }
  QStringList FilesInFolder() const {
    return QDir(Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

void RecoveryCopyTest::CopyFileFormat() {
  const QDateTime written(QDate(2024, 5, 6), QTime(7, 8, 9, 123), Qt::UTC);
  const QList<RecoveredText> copies = {
      {QString(), TextFormat{}, QStringLiteral("1+1=\n"), written},
      {QStringLiteral("/tmp/a \"b\"\n\u00E9.txt"), TextFormat{Encoding::Utf8, true, LineEnd::CrLf},
       QStringLiteral("x \u2265 1\n\U0001F600"), written},
      {QStringLiteral("/w.txt"), TextFormat{Encoding::Windows1252, false, LineEnd::Cr},
       QString::fromUtf8("a\0b\n\n", 5), written},
      {QStringLiteral("/e.txt"), TextFormat{}, QString(), written}};
  for (const RecoveredText& copy : copies) {
    const std::optional<RecoveredText> read = DecodeRecoveryCopy(EncodeRecoveryCopy(copy));
    QVERIFY(read.has_value());
    QCOMPARE(read->path, copy.path);
    QVERIFY(read->format == copy.format);
    QCOMPARE(read->text, copy.text);
    QCOMPARE(read->written, copy.written);
  }
  // Written by hand from the format: "x=1\n" is four bytes.
  const QByteArray by_hand(
      "Tallo recovery copy\n"
      R"({"path":"/home/u/w.txt","encoding":"utf-8","byte_order_mark":false,)"
      R"("line_end":"crlf","written":"2024-05-06T07:08:09.000Z","bytes":4})"
      "\nx=1\n");
  const std::optional<RecoveredText> read = DecodeRecoveryCopy(by_hand);
  QVERIFY(read.has_value());
  QCOMPARE(read->path, QStringLiteral("/home/u/w.txt"));
  QVERIFY(read->format == (TextFormat{Encoding::Utf8, false, LineEnd::CrLf}));
  QCOMPARE(read->text, QStringLiteral("x=1\n"));
  QCOMPARE(read->written, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
  for (const QByteArray& damaged :
       {by_hand.chopped(1), by_hand.left(30), by_hand + "x", by_hand.mid(1), QByteArray(),
        QByteArray(by_hand).replace("utf-8", "utf-7"), QByteArray(by_hand).replace("crlf", "lfcr"),
        QByteArray(by_hand).replace("{\"", "{"),
        QByteArray(by_hand).replace("2024-05", "2024-13")}) {
    QVERIFY2(!DecodeRecoveryCopy(damaged).has_value(), damaged.constData());
  }
}

void RecoveryCopyTest::CopiesFollowTheChanges() {
  Editor editor(Folder(), {200, 600});
  QElapsedTimer typing;
  typing.start();
  // Typing without a pause: the copy comes once the first change has waited the longest wait.
  while (!QFile::exists(editor.recovery->CopyPath()) && typing.elapsed() < 2000) {
    editor.Type(QStringLiteral("x"));
    QTest::qWait(50);
  }
  QVERIFY(typing.elapsed() >= 600 && typing.elapsed() < 1200);
  editor.Type(QStringLiteral("y"));
  QTest::qWait(100);
  QVERIFY(!editor.Copied().endsWith(u'y'));  // not on every change
  QTRY_VERIFY_WITH_TIMEOUT(editor.Copied().endsWith(u'y'), 1000);
  QString error;
  QCOMPARE(editor.doc.Save(dir_->filePath("a.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(FilesInFolder(), QStringList());  // the lock file went with it

  editor.Type(QStringLiteral("b"));
  QVERIFY(editor.recovery->WriteNow());
  editor.text.undo();  // back to the text on disk
  QVERIFY(!editor.doc.IsModified());
  QCOMPARE(FilesInFolder(), QStringList());

  editor.Type(QStringLiteral("c"));
  QVERIFY(editor.recovery->WriteNow());
  editor.doc.NewDocument();  // the user said No to saving
  QCOMPARE(FilesInFolder(), QStringList());
  QVERIFY(editor.recovery->WriteNow());  // nothing to keep
  QCOMPARE(FilesInFolder(), QStringList());
}

void RecoveryCopyTest::CopyKeepsWhatTheTextBelongsTo() {
  WriteBytes(dir_->filePath("w.txt"), "\xEF\xBB\xBFx=1\r\n");
  Editor editor(Folder());
  QString error;
  QCOMPARE(editor.doc.Open(dir_->filePath("w.txt"), &error), CTalloDoc::OpenResult::Opened);
  editor.Type(QStringLiteral("x+1="));
  QVERIFY(editor.recovery->WriteNow());
  const auto copy = DecodeRecoveryCopy(ReadBytes(editor.recovery->CopyPath()));
  QVERIFY(copy.has_value());
  QCOMPARE(copy->path, QFileInfo(dir_->filePath("w.txt")).absoluteFilePath());
  QVERIFY(copy->format == (TextFormat{Encoding::Utf8, true, LineEnd::CrLf}));
  QCOMPARE(copy->text, QStringLiteral("x=1\nx+1="));
  QVERIFY(qAbs(copy->written.secsTo(QDateTime::currentDateTimeUtc())) < 60);
  QCOMPARE(ModeOf(Folder()), mode_t{0700});  // the work in it is the user's alone
}

void RecoveryCopyTest::EachEditorHasItsOwnCopy() {
  Editor first(Folder());
  auto second = std::make_unique<Editor>(Folder());
  first.Type(QStringLiteral("first"));
  second->Type(QStringLiteral("second"));
  QVERIFY(first.recovery->WriteNow() && second->recovery->WriteNow());
  QVERIFY(first.recovery->CopyPath() != second->recovery->CopyPath());
  QCOMPARE(second->Copied(), QStringLiteral("second"));
  QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // both editors are running
  // The second editor ends with its changes unsaved (without closing its window).
  const QString orphan_path = second->recovery->CopyPath();
  second->recovery.reset();
  {
    const std::vector<OrphanedCopy> claimed = OrphanedCopy::ClaimAll(Folder());
    QCOMPARE(Texts(claimed), QStringList{"second"});
    QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // offered by one editor at a time
  }
  // Let go without a decision, it waits for the next start; restored, it is continued.
  std::vector<OrphanedCopy> orphans = OrphanedCopy::ClaimAll(Folder());
  QCOMPARE(Texts(orphans), QStringList{"second"});
  Editor third(Folder());
  const RecoveredText& copy = orphans[0].content();
  QVERIFY(third.doc.Restore(copy.path, copy.format, copy.text));
  third.recovery->Adopt(std::move(orphans[0]));
  QCOMPARE(third.recovery->CopyPath(), orphan_path);
  third.Type(QStringLiteral(" and more"));
  QVERIFY(third.recovery->WriteNow());
  QCOMPARE(third.Copied(), QStringLiteral("second and more"));
  QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // it is the third editor's now
  third.recovery->Discard();
  first.recovery->Discard();
  QCOMPARE(FilesInFolder(), QStringList());
}

void RecoveryCopyTest::FailedWriteKeepsThePreviousCopy() {
  Editor editor(Folder());
  editor.Type(QStringLiteral("first state"));
  QVERIFY(editor.recovery->WriteNow());
  editor.Type(QString(20000, u'x'));
  QSignalSpy failures(editor.recovery.get(), &RecoveryCopy::WriteFailed);
  {
    const FileSizeLimit limit(4096);  // the copy cannot be written whole, as on a full disk
    QVERIFY(!editor.recovery->WriteNow());
  }
  QCOMPARE(failures.size(), 1);
  QCOMPARE(failures[0][0].toString(), QStringLiteral("File too large"));
  QCOMPARE(editor.Copied(), QStringLiteral("first state"));
  QCOMPARE(FilesInFolder().size(), 2);  // the copy and its lock, nothing half written
  // A stray half-written copy beside it is neither offered nor in the way.
  WriteBytes(editor.recovery->CopyPath() + ".AbCdEf", "Tallo recovery copy\n{");
  editor.recovery.reset();
  QCOMPARE(Texts(OrphanedCopy::ClaimAll(Folder())), QStringList{"first state"});
}

void RecoveryCopyTest::TextBeingLoadedIsNeverCopied() {
  Editor editor(Folder());
  editor.Type(QStringLiteral("typed before opening"));
  QVERIFY(editor.recovery->WriteNow());
  WriteBytes(dir_->filePath("large.txt"), QByteArray("1+1=\n").repeated(kLoadPartCharacters));
  QString error;
  QStringList copies_during_load;
  QCOMPARE(editor.doc.Open(dir_->filePath("large.txt"), &error,
                           [&](qint64, qint64) {
                             editor.recovery->WriteNow();  // as its timer would
                             copies_during_load << editor.Copied();
                             return true;
                           }),
           CTalloDoc::OpenResult::Opened);
  QVERIFY(copies_during_load.size() > 1);
  QCOMPARE(copies_during_load.filter(QStringLiteral("typed before opening")).size(),
           copies_during_load.size());
  QCOMPARE(FilesInFolder(), QStringList());  // the opened file is unmodified
}

QTEST_MAIN(RecoveryCopyTest)
#include "recovery_copy_test.moc"
