// The main window when files go wrong or are printed: work kept across a crash and offered again,
// files that are odd or slow to open, and printing with the margins of Print Setup.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <random>

#include "shell/app_identity.h"
#include "shell/main_frame.h"
#include "shell/print_commands.h"
#include "shell/print_setup_dialog.h"
#include "shell/recent_files.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

class MainFrameFilesTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { QStandardPaths::setTestModeEnabled(true); }

 private slots:
  void initTestCase() { SetApplicationIdentity(); }
  void init();
  void cleanup();
  // The work of an editor killed after it kept a copy is offered at the next start;
  // restored, it is the text as typed, unsaved, of its file, saved in the file's format.
  void CrashedEditorsWorkIsRestored();
  // Copies are offered newest first: Discard deletes one, Later keeps the rest; a running
  // editor's copy is not offered.
  void CopiesAreOfferedUntilDecided();
  // Closing removes the copy once the changes are saved or dropped, not when cancelled.
  void CleanExitRemovesTheCopy();
  // Files that are not text open and calculate; what they hold is written back as it was,
  // with the answers, and they open at their start.
  void OddFilesOpenAndCalculate_data();
  void OddFilesOpenAndCalculate();
  void LongLoadCanBeCancelled();
  // The printout keeps the margins of Print Setup and the view's lined-up columns.
  void PrintsWithinTheMargins();
  void PrintSetupChoosesPaperAndMargins();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Folder() const { return dir_->filePath("recovery"); }
  QStringList CopiesInFolder() const {
    return QDir(Folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
  }
  QString Text() const { return DocumentText(*frame_->view()->document()); }
  // An editor that ends with text typed and kept in a copy, without closing its window.
  void LeaveCopyOf(const QString& file, const QString& text);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CMainFrame> frame_;
};

void MainFrameFilesTest::init() {
  QSettings().clear();
  dir_ = std::make_unique<QTemporaryDir>();
  frame_ = std::make_unique<CMainFrame>(nullptr, Folder());
  frame_->show();
}

void MainFrameFilesTest::cleanup() {
  frame_->document()->SetModified(false);
  frame_.reset();
}

void MainFrameFilesTest::LeaveCopyOf(const QString& file, const QString& text) {
  CMainFrame ended(nullptr, Folder());
  if (!file.isEmpty()) ended.StartWith(file);
  ended.view()->moveCursor(QTextCursor::End);
  ended.view()->insertPlainText(text);
  QVERIFY(ended.recovery()->WriteNow());
}

void MainFrameFilesTest::CrashedEditorsWorkIsRestored() {
  WriteBytes(Path("work.txt"), "x=2\r\n");
  QProcess editor;
  editor.start(QStringLiteral(TALLO_CRASH_HELPER), {Path("work.txt"), Folder(), "x*3="});
  QVERIFY(editor.waitForFinished(60000));
  QCOMPARE(editor.exitStatus(), QProcess::CrashExit);
  QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\n"));
  QCOMPARE(CopiesInFolder().size(), 1);
  MessageBoxAnswer answer(QMessageBox::Yes);
  frame_->OfferRecovery();
  QCOMPARE(answer.count(), 1);
  QVERIFY2(answer.text().startsWith(QStringLiteral(
               "Tallo ended without saving the changes to work.txt. A copy of them from ")),
           qPrintable(answer.text()));
  QVERIFY(answer.text().endsWith(QStringLiteral(" was kept.\nRestore it?")));
  QCOMPARE(Text(), QStringLiteral("x=2\nx*3="));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("work.txt[*] - Tallo"));
  QVERIFY(frame_->isWindowModified());
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\nx*3="));  // its CR LF line ends
  QCOMPARE(CopiesInFolder(), QStringList());
}

void MainFrameFilesTest::CopiesAreOfferedUntilDecided() {
  WriteBytes(Path("shared.txt"), "a=1\n");
  LeaveCopyOf(Path("shared.txt"), QStringLiteral("older"));
  QTest::qWait(20);  // copies a few milliseconds apart
  LeaveCopyOf({}, QStringLiteral("newer"));
  CMainFrame running(nullptr, Folder());
  running.view()->insertPlainText(QStringLiteral("in progress"));
  QVERIFY(running.recovery()->WriteNow());
  QCOMPARE(CopiesInFolder().size(), 3);
  // The file changed after its copy was made: restoring it would replace those changes.
  QFile file(Path("shared.txt"));
  QVERIFY(file.open(QIODevice::ReadWrite));
  QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                           QFileDevice::FileModificationTime));
  file.close();
  {
    MessageBoxAnswer answers({QMessageBox::No, QMessageBox::Cancel});
    frame_->OfferRecovery();
    QCOMPARE(answers.count(), 2);
    QCOMPARE(answers.informative_text(),
             QStringLiteral("shared.txt has been changed since the copy was made: saving the "
                            "restored text replaces those changes."));
  }
  QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
  QCOMPARE(CopiesInFolder().size(), 2);
  MessageBoxAnswer restore(QMessageBox::Yes);
  frame_->OfferRecovery();
  QCOMPARE(restore.count(), 1);
  QCOMPARE(Text(), QStringLiteral("a=1\nolder"));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("shared.txt[*] - Tallo"));
  running.document()->SetModified(false);
}

void MainFrameFilesTest::CleanExitRemovesTheCopy() {
  frame_->view()->insertPlainText(QStringLiteral("draft"));
  QVERIFY(frame_->recovery()->WriteNow());
  MessageBoxAnswer answers({QMessageBox::Cancel, QMessageBox::No});
  QVERIFY(!frame_->close());
  QCOMPARE(CopiesInFolder().size(), 1);
  QVERIFY(frame_->close());
  QCOMPARE(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void MainFrameFilesTest::OddFilesOpenAndCalculate_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QByteArray>("expected");  // after Do Calculation and Save
  // Hand arithmetic: 1+1 is 2, 2*3 is 6.
  QTest::newRow("nul bytes") << QByteArray("1+1=\0x\n2*3=", 11)
                             << QByteArray("1+1=2\0x\n2*3=6", 13);
  QTest::newRow("not utf-8") << QByteArray("1+1=\xFF\r\n2*3=\x81")
                             << QByteArray("1+1=2\xFF\r\n2*3=6\x81");
  // Noise of every byte but "=" (nothing in it to calculate) and CR (its line ends stay LF).
  std::mt19937 random(7);
  QByteArray noise;
  while (noise.size() < 65536) {
    const char byte = static_cast<char>(random() & 0xFF);
    if (byte != '=' && byte != '\r') noise += byte;
  }
  QTest::newRow("binary noise") << noise + "\n1+1=" << noise + "\n1+1=2";
  QByteArray lines;
  for (int line = 0; line < 500; ++line) lines += "line " + QByteArray::number(line) + '\n';
  QTest::newRow("many lines") << lines + "2*3=" << lines + "2*3=6";
}

void MainFrameFilesTest::OddFilesOpenAndCalculate() {
  QFETCH(QByteArray, bytes);
  QFETCH(QByteArray, expected);
  WriteBytes(Path("odd.txt"), bytes);
  QVERIFY(frame_->OpenFile(Path("odd.txt")));
  QApplication::processEvents();
  QCOMPARE(frame_->view()->textCursor().position(), 0);
  QCOMPARE(frame_->view()->verticalScrollBar()->value(), 0);
  QVERIFY(frame_->view()->CalculateAndWait());
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(ReadBytes(Path("odd.txt")), expected);
}

void MainFrameFilesTest::LongLoadCanBeCancelled() {
  // Ten parts of short lines: the progress shows after the first part.
  WriteBytes(Path("big.txt"), QByteArray("x=1\n").repeated(10 * kLoadPartCharacters / 4));
  QString label;
  QTimer cancel;
  QObject::connect(&cancel, &QTimer::timeout, [&] {
    auto* progress = frame_->findChild<QProgressDialog*>();
    if (progress == nullptr || !progress->isVisible()) return;
    label = progress->labelText();
    progress->cancel();
  });
  cancel.start(5);
  MessageBoxAnswer no_message(QMessageBox::Ok);
  QVERIFY(!frame_->OpenFile(Path("big.txt")));
  QCOMPARE(label, QStringLiteral("Opening big.txt..."));
  QCOMPARE(no_message.count(), 0);
  QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  QVERIFY(ReadRecentFiles().isEmpty());
}

void MainFrameFilesTest::PrintsWithinTheMargins() {
  const QString pdftotext = QStringLiteral(TALLO_PDFTOTEXT);
  if (pdftotext.isEmpty()) QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
  QString text = QStringLiteral("plants={\theight\nab\tcell\n");
  for (int line = 1; line <= 120; ++line) text += QStringLiteral("row %1\n").arg(line);
  frame_->view()->setPlainText(text + QStringLiteral("last"));
  QPrinter& printer = *frame_->print_commands()->printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(Path("out.pdf"));
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(30, 15, 20, 15), QPageLayout::Millimeter));
  frame_->print_commands()->PrintText(&printer);
  QProcess reader;
  reader.start(pdftotext, {"-bbox", Path("out.pdf"), "-"});
  QVERIFY(reader.waitForFinished(30000));
  const QString boxes = QString::fromUtf8(reader.readAllStandardOutput());
  QMap<QString, double> left;  // each word's first left edge, in points
  const QRegularExpression word(R"re(<word xMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
  for (const auto& match : word.globalMatch(boxes)) {
    if (!left.contains(match.captured(2))) left[match.captured(2)] = match.captured(1).toDouble();
  }
  // 30 mm is 30 / 25.4 * 72 = 85.04 points; the columns line up on paper as on the screen.
  QVERIFY2(qAbs(left.value("plants={") - 85.04) < 1, qPrintable(boxes.left(2000)));
  QVERIFY(qAbs(left.value("ab") - 85.04) < 1);
  QVERIFY(qAbs(left.value("height") - left.value("cell")) < 0.5);
  QVERIFY(left.value("height") > left.value("plants={") + 20);
  QVERIFY(left.contains("last"));
  QVERIFY(boxes.count(QStringLiteral("<page ")) >= 2);  // 123 lines do not fit on one page
}

void MainFrameFilesTest::PrintSetupChoosesPaperAndMargins() {
  QPrinter printer(QPrinter::HighResolution);
  QString warning;
  int tries = 0;
  // A5 is 148 by 210 mm: margins of 100 mm left and right leave no room across it standing, but
  // do lying down.
  DialogAnswer answers([&](QDialog* dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
      warning = box->text();
      return box->accept();
    }
    const auto combo = [dialog](const char* name) { return dialog->findChild<QComboBox*>(name); };
    combo("paper")->setCurrentIndex(combo("paper")->findData(QPageSize::A5));
    combo("orientation")->setCurrentIndex(tries++);
    const QList<double> margins = {100, 12, 100, 14};  // left, top, right, bottom
    for (int side = 0; side < 4; ++side) {
      dialog->findChild<QDoubleSpinBox*>(QStringLiteral("margin%1").arg(side))
          ->setValue(margins[side]);
    }
    dialog->accept();
  });
  PrintSetupDialog(&printer, nullptr).exec();
  QCOMPARE(tries, 2);
  QCOMPARE(warning, QStringLiteral("The margins leave no room on the paper."));
  const QPageLayout layout = printer.pageLayout();
  QCOMPARE(layout.pageSize().id(), QPageSize::A5);
  QCOMPARE(layout.orientation(), QPageLayout::Landscape);
  QCOMPARE(layout.margins(QPageLayout::Millimeter), QMarginsF(100, 12, 100, 14));
  QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);  // no printers here: a PDF file
}

QTEST_MAIN(MainFrameFilesTest)
#include "main_frame_files_test.moc"
