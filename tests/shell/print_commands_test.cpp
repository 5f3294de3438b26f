// Printing to a PDF file gives a PDF that holds the text.

#include "shell/print_commands.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "shell/tallo_view.h"
#include "shell_test_support.h"

using tallo::shell::CTalloView;
using tallo::shell::PrintCommands;

class PrintCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void PrintsTheTextToPdf();
};

void PrintCommandsTest::PrintsTheTextToPdf() {
  QWidget window;
  auto* view = new CTalloView(&window);
  QString text = QStringLiteral("Tallo print check\nx=5.5 y=2.3\nx*2+sqrt(y)=12.5166\n");
  for (int line = 1; line <= 120; ++line) text += QStringLiteral("row %1\n").arg(line);
  view->setPlainText(text + QStringLiteral("last line"));
  PrintCommands commands(view, &window);

  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
  commands.PrintText(&printer);

  const QByteArray pdf = tallo::shell::testing::ReadBytes(printer.outputFileName());
  QVERIFY(pdf.startsWith("%PDF-"));
  const QString pdftotext = QStringLiteral(TALLO_PDFTOTEXT);
  if (pdftotext.isEmpty()) QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
  QProcess reader;
  reader.start(pdftotext, {printer.outputFileName(), QStringLiteral("-")});
  QVERIFY(reader.waitForFinished(30000));
  QCOMPARE(reader.exitCode(), 0);
  const QString printed = QString::fromUtf8(reader.readAllStandardOutput());
  for (const char* line : {"Tallo print check", "x=5.5 y=2.3", "x*2+sqrt(y)=12.5166", "row 1",
                           "row 120", "last line"}) {
    QVERIFY2(printed.contains(QString::fromLatin1(line)), line);
  }
  // 123 lines do not fit on one page: the text goes on to the next.
  QVERIFY(printed.count(u'\f') >= 2);
}

QTEST_MAIN(PrintCommandsTest)
#include "print_commands_test.moc"
