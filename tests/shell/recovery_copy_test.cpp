// Recovery copies of unsaved work: their format, when they are written and removed, one copy per
// editor, and a failed write that leaves the previous copy whole.

#include "shell/recovery_copy.h"

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

}  // namespace

class RecoveryCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }
  // What is written reads back the same; a copy that is not whole is never taken for the work.
  void CopyFileFormat() {
    const QDateTime written(QDate(2024, 5, 6), QTime(7, 8, 9, 123), Qt::UTC);
    for (const RecoveredText& copy :
         {RecoveredText{"/tmp/a \"b\"\n\u00E9.txt", TextFormat{Encoding::Utf8, true, LineEnd::CrLf},
                        "x \u2265 1\n\U0001F600", written},
          RecoveredText{"", TextFormat{Encoding::Windows1252, false, LineEnd::Cr},
                        QString::fromUtf8("a\0b\n\n", 5), written}}) {
      QVERIFY(DecodeRecoveryCopy(EncodeRecoveryCopy(copy)) == copy);
    }
    // Written by hand from the format: "x=1\n" is four bytes.
    const QByteArray by_hand(
        "Tallo recovery copy\n"
        R"({"path":"/home/u/w.txt","encoding":"utf-8","byte_order_mark":false,)"
        R"("line_end":"crlf","written":"2024-05-06T07:08:09.000Z","bytes":4})"
        "\nx=1\n");
    QVERIFY(DecodeRecoveryCopy(by_hand) ==
            (RecoveredText{"/home/u/w.txt", TextFormat{Encoding::Utf8, false, LineEnd::CrLf},
                           "x=1\n", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC)}));
    for (const QByteArray& damaged :
         {by_hand.chopped(1), by_hand.left(30), by_hand + "x", by_hand.mid(1), QByteArray(),
          QByteArray(by_hand).replace("utf-8", "utf-7"),
          QByteArray(by_hand).replace("crlf", "lfcr"), QByteArray(by_hand).replace("{\"", "{"),
          QByteArray(by_hand).replace("2024-05", "2024-13")}) {
      QVERIFY2(!DecodeRecoveryCopy(damaged), damaged.constData());
    }
  }
  // A copy follows a pause in the typing, or a long wait during it, and tells what the text belongs
  // to; saving, undoing back to the saved text or a new document remove it.
  void CopiesFollowTheChanges() {
    WriteBytes(dir_->filePath("w.txt"), "\xEF\xBB\xBFx=1\r\n");
    Editor editor(Folder(), {200, 600});
    QString error;
    QCOMPARE(editor.doc.Open(dir_->filePath("w.txt"), &error), CTalloDoc::OpenResult::Opened);
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
    QVERIFY(editor.Copied().startsWith("x=1\nxx"));
    // The copy tells the file, its format and the time; the folder is the user's alone.
    const auto copy = DecodeRecoveryCopy(ReadBytes(editor.recovery->CopyPath()));
    QVERIFY(copy && copy->path == QFileInfo(dir_->filePath("w.txt")).absoluteFilePath());
    QVERIFY(copy->format == (TextFormat{Encoding::Utf8, true, LineEnd::CrLf}));
    QVERIFY(qAbs(copy->written.secsTo(QDateTime::currentDateTimeUtc())) < 60);
    QCOMPARE(ModeOf(Folder()), mode_t{0700});
    QCOMPARE(editor.doc.Save(dir_->filePath("w.txt"), &error), CTalloDoc::SaveResult::Saved);
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
  // Two editors write two copies; neither is offered while its editor runs, a copy is offered to
  // one editor at a time, and one restored goes on being written by its new editor.
  void EachEditorHasItsOwnCopy() {
    Editor first(Folder());
    auto second = std::make_unique<Editor>(Folder());
    first.Type(QStringLiteral("first"));
    second->Type(QStringLiteral("second"));
    QVERIFY(first.recovery->WriteNow() && second->recovery->WriteNow());
    const QString orphan_path = second->recovery->CopyPath();
    QVERIFY(first.recovery->CopyPath() != orphan_path);
    second->recovery.reset();  // the second editor ends with its changes unsaved
    std::vector<OrphanedCopy> orphans = OrphanedCopy::ClaimAll(Folder());
    QCOMPARE(orphans.size(), 1);  // the first one's is still its own
    QCOMPARE(orphans[0].content().text, "second");
    QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // offered by one editor at a time
    Editor third(Folder());
    const RecoveredText copy = orphans[0].content();
    QVERIFY(third.doc.Restore(copy.path, copy.format, copy.text));
    third.recovery->Adopt(std::move(orphans[0]));
    third.Type(QStringLiteral(" and more"));
    QVERIFY(third.recovery->WriteNow());
    QCOMPARE(DecodeRecoveryCopy(ReadBytes(orphan_path))->text, "second and more");
    orphans.clear();
    QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // it is the third editor's now
    third.recovery->Discard();
    first.recovery->Discard();
    QCOMPARE(FilesInFolder(), QStringList());
  }
  void FailedWriteKeepsThePreviousCopy() {
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
    const std::vector<OrphanedCopy> left = OrphanedCopy::ClaimAll(Folder());
    QVERIFY(left.size() == 1 && left[0].content().text == "first state");
    WriteBytes(dir_->filePath("file"), "");
    Editor blocked(dir_->filePath("file/recovery"));  // its folder cannot be made
    blocked.Type(QStringLiteral("x"));
    QVERIFY(!blocked.recovery->WriteNow());
  }
  void TextBeingLoadedIsNeverCopied() {
    Editor editor(Folder());
    editor.Type(QStringLiteral("typed before opening"));
    QVERIFY(editor.recovery->WriteNow());
    WriteBytes(dir_->filePath("large.txt"), QByteArray("1+1=\n").repeated(kLoadPartCharacters));
    QString error;
    QStringList copies_during_load;
    bool written = true;
    QCOMPARE(editor.doc.Open(dir_->filePath("large.txt"), &error,
                             [&](qint64, qint64) {
                               written = editor.recovery->WriteNow() && written;  // as the timer
                               copies_during_load << editor.Copied();
                               return true;
                             }),
             CTalloDoc::OpenResult::Opened);
    QVERIFY(written);
    QVERIFY(copies_during_load.size() > 1);
    QCOMPARE(copies_during_load.filter(QStringLiteral("typed before opening")).size(),
             copies_during_load.size());
    QCOMPARE(FilesInFolder(), QStringList());  // the opened file is unmodified
  }

 private:
  QString Folder() const { return dir_->filePath("recovery"); }
  QStringList FilesInFolder() const {
    return QDir(Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(RecoveryCopyTest)
#include "recovery_copy_test.moc"
