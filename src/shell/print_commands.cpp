#include "shell/print_commands.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "shell/column_layout.h"
#include "shell/print_setup_dialog.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"

namespace tallo::shell {
namespace {

// Lays document out in pages of the printer's printable area and prints the pages the printer
// asks for. The printable area lies within the page's margins, so they are the printout's.
void PrintInPages(QTextDocument& document, QPrinter* printer) {
  QPainter painter(printer);
  if (!painter.isActive()) return;
  document.documentLayout()->setPaintDevice(printer);
  document.setDocumentMargin(0);
  const QRectF page(QPointF(0, 0),
                    printer->pageLayout().paintRectPixels(printer->resolution()).size());
  document.setPageSize(page.size());
  int first = printer->fromPage();
  int last = printer->toPage();
  if (first == 0 && last == 0) {
    first = 1;
    last = document.pageCount();
  }
  last = std::min(last, document.pageCount());
  for (int number = first; number <= last; ++number) {
    if (number > first) printer->newPage();
    const QRectF shown = page.translated(0, (number - 1) * page.height());
    painter.save();
    painter.translate(0, -shown.top());
    painter.setClipRect(shown);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = shown;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
  }
}

}  // namespace

PrintCommands::PrintCommands(CTalloView* view, QWidget* window)
    : QObject(window), view_(view), window_(window), printer_(QPrinter::HighResolution) {
  const QMarginsF margins(kDefaultMarginMillimetres, kDefaultMarginMillimetres,
                          kDefaultMarginMillimetres, kDefaultMarginMillimetres);
  printer_.setPageMargins(margins, QPageLayout::Millimeter);
}

void PrintCommands::PrintText(QPrinter* printer) const {
  const QString path = window_->windowFilePath();
  printer->setDocName(CTalloDoc::DisplayNameOf(path));
  QTextDocument copy;
  copy.setDefaultFont(view_->document()->defaultFont());
  QTextOption option = view_->document()->defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  copy.setDefaultTextOption(option);
  copy.setPlainText(printer->printRange() == QPrinter::Selection
                        ? view_->textCursor().selectedText()
                        : DocumentText(*view_->document()));
  if (view_->AlignsColumns()) AlignColumnsOf(copy);
  PrintInPages(copy, printer);
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
  PrintSetupDialog dialog(&printer_, window_);
  dialog.exec();
}

}  // namespace tallo::shell
