// Recovery copies of unsaved work: their file format, when they are written and removed,
// one copy per editor that no other editor takes while it runs, and a failed write that
// leaves the previous copy whole.

#include "shell/recovery_copy.h"

#include <sys/stat.h>

#include <QDir>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <memory>

#include "shell/tallo_doc.h"
#include "shell_test_support.h"

using tallo::shell::CTalloDoc;
using tallo::shell::DecodeRecoveryCopy;
using tallo::shell::EncodeRecoveryCopy;
using tallo::shell::Encoding;
using tallo::shell::LineEnd;
using tallo::shell::OrphanedCopy;
using tallo::shell::RecoveredText;
using tallo::shell::RecoveryCopy;
using tallo::shell::TextFormat;
using tallo::shell::testing::FileSizeLimit;
using tallo::shell::testing::ReadBytes;
using tallo::shell::testing::WriteBytes;

namespace {

// One editor's document and its copies, without the window around them.
struct Editor {
  explicit Editor(const QString& folder)
      : doc(view.document()), recovery(std::make_unique<RecoveryCopy>(&doc, folder)) {
    doc.NewDocument();
  }

  void Type(const QString& text) {
    QTextCursor end(view.document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
  }

  QPlainTextEdit view;
  CTalloDoc doc;
  std::unique_ptr<RecoveryCopy> recovery;
};

QStringList Texts(const std::vector<OrphanedCopy>& orphans) {
  QStringList texts;
  for (const OrphanedCopy& orphan : orphans) texts << orphan.content().text;
  return texts;
}

std::optional<RecoveredText> ReadCopy(const QString& path) {
  return DecodeRecoveryCopy(ReadBytes(path));
}

}  // namespace

class RecoveryCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  // What is written is read back the same, for every format and any text.
  void CopiesReadBackAsWritten_data();
  void CopiesReadBackAsWritten();
  void CopyFileIsTitleAboutLineAndText();
  // A copy that is not whole is never taken for the work.
  void DamagedCopiesAreRejected_data();
  void DamagedCopiesAreRejected();
  void CopyIsWrittenSomeSecondsAfterAChange();
  // Saving, undoing back to the saved text, a new document: the copy goes.
  void CopyGoesWhenTheChangesAreSavedOrDropped();
  void CopyKeepsWhatTheTextBelongsTo();
  // Two editors write two copies; neither is offered while its editor runs, and a copy is
  // offered to one editor at a time.
  void EachEditorHasItsOwnCopy();
  // An editor that restored a copy goes on writing it, and removes it in the end.
  void AdoptedCopyIsContinued();
  void FailedWriteKeepsThePreviousCopy();
  void TextBeingLoadedIsNeverCopied();
  void FolderIsTheUsersAlone();

 private:
  QString Folder() const { return dir_->filePath("recovery"); }
  QStringList FilesInFolder() const {
    return QDir(Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

void RecoveryCopyTest::CopiesReadBackAsWritten_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<int>("encoding");
  QTest::addColumn<bool>("mark");
  QTest::addColumn<int>("line_end");
  QTest::addColumn<QString>("text");
  QTest::newRow("unnamed") << QString() << int(Encoding::Utf8) << false << int(LineEnd::Lf)
                           << QStringLiteral("1+1=\n");
  QTest::newRow("odd path, mark, CR LF")
      << QStringLiteral("/tmp/a \"b\"\n\u00E9.txt") << int(Encoding::Utf8) << true
      << int(LineEnd::CrLf) << QStringLiteral("x \u2265 1\n\U0001F600");
  QTest::newRow("8-bit file, CR") << QStringLiteral("/w.txt") << int(Encoding::Windows1252) << false
                                  << int(LineEnd::Cr) << QStringLiteral("caf\u00E9\n");
  QTest::newRow("nul and empty lines") << QStringLiteral("/n.txt") << int(Encoding::Utf8) << false
                                       << int(LineEnd::Lf) << QString::fromUtf8("a\0b\n\n\n", 6);
  QTest::newRow("empty text") << QStringLiteral("/e.txt") << int(Encoding::Utf8) << false
                              << int(LineEnd::Lf) << QString();
}

void RecoveryCopyTest::CopiesReadBackAsWritten() {
  QFETCH(QString, path);
  QFETCH(int, encoding);
  QFETCH(bool, mark);
  QFETCH(int, line_end);
  QFETCH(QString, text);
  const RecoveredText copy{path, TextFormat{Encoding(encoding), mark, LineEnd(line_end)}, text,
                           QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 123), Qt::UTC)};
  const std::optional<RecoveredText> read = DecodeRecoveryCopy(EncodeRecoveryCopy(copy));
  QVERIFY(read.has_value());
  QCOMPARE(read->path, copy.path);
  QVERIFY(read->format == copy.format);
  QCOMPARE(read->text, copy.text);
  QCOMPARE(read->written, copy.written);
}

void RecoveryCopyTest::CopyFileIsTitleAboutLineAndText() {
  // Written by hand from the format: "x=1\n" is four bytes.
  const QByteArray bytes(
      "Tallo recovery copy\n"
      R"({"path":"/home/u/w.txt","encoding":"utf-8","byte_order_mark":false,)"
      R"("line_end":"crlf","written":"2024-05-06T07:08:09.000Z","bytes":4})"
      "\nx=1\n");
  const std::optional<RecoveredText> read = DecodeRecoveryCopy(bytes);
  QVERIFY(read.has_value());
  QCOMPARE(read->path, QStringLiteral("/home/u/w.txt"));
  QCOMPARE(read->format.line_end, LineEnd::CrLf);
  QCOMPARE(read->text, QStringLiteral("x=1\n"));
  QCOMPARE(read->written, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
}

void RecoveryCopyTest::DamagedCopiesAreRejected_data() {
  const QByteArray whole =
      EncodeRecoveryCopy({QStringLiteral("/w.txt"), TextFormat{}, QStringLiteral("mean(a)=\n"),
                          QDateTime::currentDateTimeUtc()});
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("cut short") << whole.chopped(1);
  QTest::newRow("cut in the about line") << whole.left(30);
  QTest::newRow("longer") << whole + "x";
  QTest::newRow("other title") << QByteArray("Tallo recovery cop") + whole.mid(19);
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("unknown encoding") << QByteArray(whole).replace("utf-8", "utf-7");
  QTest::newRow("not JSON") << QByteArray(whole).replace("{\"", "{");
}

void RecoveryCopyTest::DamagedCopiesAreRejected() {
  QFETCH(QByteArray, bytes);
  QVERIFY(!DecodeRecoveryCopy(bytes).has_value());
}

void RecoveryCopyTest::CopyIsWrittenSomeSecondsAfterAChange() {
  Editor editor(Folder());
  editor.Type(QStringLiteral("x=2\n"));
  QVERIFY(!QFile::exists(editor.recovery->CopyPath()));  // not at once, on every key
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(editor.recovery->CopyPath()),
                           3 * RecoveryCopy::kQuietMilliseconds);
  QCOMPARE(ReadCopy(editor.recovery->CopyPath())->text, QStringLiteral("x=2\n"));
}

void RecoveryCopyTest::CopyGoesWhenTheChangesAreSavedOrDropped() {
  Editor editor(Folder());
  const QString copy = editor.recovery->CopyPath();
  editor.Type(QStringLiteral("a"));
  QVERIFY(editor.recovery->WriteNow());
  QVERIFY(QFile::exists(copy));
  QString error;
  QCOMPARE(editor.doc.Save(dir_->filePath("a.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(FilesInFolder(), QStringList());  // the lock file went with it

  editor.Type(QStringLiteral("b"));
  QVERIFY(editor.recovery->WriteNow());
  QVERIFY(QFile::exists(copy));
  editor.view.undo();  // back to the text on disk
  QVERIFY(!editor.doc.IsModified());
  QVERIFY(!QFile::exists(copy));

  editor.Type(QStringLiteral("c"));
  QVERIFY(editor.recovery->WriteNow());
  editor.doc.NewDocument();  // the user said No to saving
  QCOMPARE(FilesInFolder(), QStringList());

  // Nothing to keep: WriteNow writes nothing.
  QVERIFY(editor.recovery->WriteNow());
  QCOMPARE(FilesInFolder(), QStringList());
}

void RecoveryCopyTest::CopyKeepsWhatTheTextBelongsTo() {
  WriteBytes(dir_->filePath("w.txt"), "\xEF\xBB\xBFx=1\r\n");
  Editor editor(Folder());
  QString error;
  QCOMPARE(editor.doc.Open(dir_->filePath("w.txt"), &error), CTalloDoc::OpenResult::Opened);
  editor.Type(QStringLiteral("x+1="));
  QVERIFY(editor.recovery->WriteNow());
  const std::optional<RecoveredText> copy = ReadCopy(editor.recovery->CopyPath());
  QVERIFY(copy.has_value());
  QCOMPARE(copy->path, QFileInfo(dir_->filePath("w.txt")).absoluteFilePath());
  QVERIFY(copy->format == (TextFormat{Encoding::Utf8, true, LineEnd::CrLf}));
  QCOMPARE(copy->text, QStringLiteral("x=1\nx+1="));
  QVERIFY(qAbs(copy->written.secsTo(QDateTime::currentDateTimeUtc())) < 60);
}

void RecoveryCopyTest::EachEditorHasItsOwnCopy() {
  Editor first(Folder());
  auto second = std::make_unique<Editor>(Folder());
  first.Type(QStringLiteral("first"));
  second->Type(QStringLiteral("second"));
  QVERIFY(first.recovery->WriteNow());
  QVERIFY(second->recovery->WriteNow());
  QVERIFY(first.recovery->CopyPath() != second->recovery->CopyPath());
  QCOMPARE(ReadCopy(first.recovery->CopyPath())->text, QStringLiteral("first"));
  QCOMPARE(ReadCopy(second->recovery->CopyPath())->text, QStringLiteral("second"));
  QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // both editors are running

  // The second editor ends with its changes unsaved (without closing its window).
  second->recovery.reset();
  {
    std::vector<OrphanedCopy> claimed = OrphanedCopy::ClaimAll(Folder());
    QCOMPARE(Texts(claimed), QStringList{"second"});
    // While one editor offers it, another does not.
    QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());
  }
  // Let go without a decision: it waits for the next start.
  QCOMPARE(Texts(OrphanedCopy::ClaimAll(Folder())), QStringList{"second"});
  QCOMPARE(ReadCopy(first.recovery->CopyPath())->text, QStringLiteral("first"));
}

void RecoveryCopyTest::AdoptedCopyIsContinued() {
  QString orphan_path;
  {
    Editor ended(Folder());
    ended.Type(QStringLiteral("unsaved"));
    QVERIFY(ended.recovery->WriteNow());
    orphan_path = ended.recovery->CopyPath();
    ended.recovery.reset();
  }
  Editor editor(Folder());
  std::vector<OrphanedCopy> orphans = OrphanedCopy::ClaimAll(Folder());
  QCOMPARE(orphans.size(), std::size_t{1});
  const RecoveredText& copy = orphans[0].content();
  QVERIFY(editor.doc.Restore(copy.path, copy.format, copy.text));
  editor.recovery->Adopt(std::move(orphans[0]));
  QCOMPARE(editor.recovery->CopyPath(), orphan_path);
  editor.Type(QStringLiteral(" and more"));
  QVERIFY(editor.recovery->WriteNow());
  QCOMPARE(ReadCopy(orphan_path)->text, QStringLiteral("unsaved and more"));
  QCOMPARE(FilesInFolder().filter(QStringLiteral(".recovery")).size(), 1);
  QVERIFY(OrphanedCopy::ClaimAll(Folder()).empty());  // it is this editor's now
  editor.recovery->Discard();
  QCOMPARE(FilesInFolder(), QStringList());
}

void RecoveryCopyTest::FailedWriteKeepsThePreviousCopy() {
  Editor editor(Folder());
  editor.Type(QStringLiteral("first state"));
  QVERIFY(editor.recovery->WriteNow());
  editor.Type(QString(20000, u'x'));
  QSignalSpy failures(editor.recovery.get(), &RecoveryCopy::WriteFailed);
  {
    // The copy (over 20 KB) cannot be written whole, as on a full disk.
    const FileSizeLimit limit(4096);
    QVERIFY(!editor.recovery->WriteNow());
  }
  QCOMPARE(failures.size(), 1);
  QVERIFY2(failures[0][0].toString().contains("File too large"),
           qPrintable(failures[0][0].toString()));
  QCOMPARE(ReadCopy(editor.recovery->CopyPath())->text, QStringLiteral("first state"));
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
  WriteBytes(dir_->filePath("large.txt"),
             QByteArray("1+1=\n").repeated(tallo::shell::kLoadPartCharacters));
  QString error;
  QStringList copies_during_load;
  QCOMPARE(editor.doc.Open(dir_->filePath("large.txt"), &error,
                           [&](qint64, qint64) {
                             // The window's events run here, with their timers.
                             editor.recovery->WriteNow();
                             copies_during_load << ReadCopy(editor.recovery->CopyPath())->text;
                             return true;
                           }),
           CTalloDoc::OpenResult::Opened);
  QVERIFY(copies_during_load.size() > 1);
  QCOMPARE(copies_during_load.filter(QStringLiteral("typed before opening")).size(),
           copies_during_load.size());
  QCOMPARE(FilesInFolder(), QStringList());  // the opened file is unmodified
}

void RecoveryCopyTest::FolderIsTheUsersAlone() {
  Editor editor(Folder());
  editor.Type(QStringLiteral("private"));
  QVERIFY(editor.recovery->WriteNow());
  struct stat info {};
  QCOMPARE(stat(QFile::encodeName(Folder()).constData(), &info), 0);
  QCOMPARE(info.st_mode & 0777, 0700u);
}

QTEST_MAIN(RecoveryCopyTest)
#include "recovery_copy_test.moc"
