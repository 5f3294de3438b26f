#include "shell/print_commands.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QWidget>

namespace tallo::shell {

PrintCommands::PrintCommands(QPlainTextEdit* view, QWidget* window)
    : QObject(window), view_(view), window_(window), printer_(QPrinter::HighResolution) {}

void PrintCommands::PrintText(QPrinter* printer) const {
  const QString path = window_->windowFilePath();
  printer->setDocName(path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName());
  view_->print(printer);
}

void PrintCommands::OnPrint() {
  QPrintDialog dialog(&printer_, window_);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, view_->textCursor().hasSelection());
  if (dialog.exec() == QDialog::Accepted) PrintText(&printer_);
}

void PrintCommands::OnPrintPreview() {
  QPrintPreviewDialog preview(&printer_, window_);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintText(printer); });
  preview.exec();
}

void PrintCommands::OnPrintSetup() {
  QPageSetupDialog dialog(&printer_, window_);
  dialog.exec();
}

}  // namespace tallo::shell
