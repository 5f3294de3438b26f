#include "shell/document_panes.h"

#include <QLabel>
#include <QStatusBar>

#include "shell/line_index.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"

namespace tallo::shell {
namespace {

QLabel* AddPane(QStatusBar* status_bar, const QString& name) {
  auto* pane = new QLabel(status_bar);
  pane->setObjectName(name);
  pane->setAlignment(Qt::AlignCenter);
  status_bar->addPermanentWidget(pane);
  return pane;
}

}  // namespace

QString LineEndName(LineEnd line_end) {
  switch (line_end) {
    case LineEnd::CrLf:
      return QStringLiteral("CR LF");
    case LineEnd::Cr:
      return QStringLiteral("CR");
    case LineEnd::Lf:
      break;
  }
  return QStringLiteral("LF");
}

QString EncodingName(const TextFormat& format) {
  if (format.encoding == Encoding::Windows1252) return QStringLiteral("Windows-1252");
  return format.byte_order_mark ? DocumentPanes::tr("UTF-8 with BOM") : QStringLiteral("UTF-8");
}

DocumentPanes::DocumentPanes(CTalloView* view, CTalloDoc* doc, QStatusBar* status_bar)
    : QObject(status_bar),
      doc_(doc),
      caret_(AddPane(status_bar, QStringLiteral("caret"))),
      line_end_(AddPane(status_bar, QStringLiteral("lineEnd"))),
      encoding_(AddPane(status_bar, QStringLiteral("encoding"))) {
  // Lines and columns count from 1, as the file's lines.
  const auto show_caret = [this, view] {
    // Answers going in move the caret; counting lines for each batch of them would cost more
    // than the calculation, so the pane catches up at the end.
    if (view->IsCalculating()) return;
    const int position = view->textCursor().position();
    caret_->setText(tr("Ln %1, Col %2")
                        .arg(view->lines().LineOf(position) + 1)
                        .arg(view->lines().ColumnOf(position) + 1));
  };
  connect(view, &QPlainTextEdit::cursorPositionChanged, this, show_caret);
  connect(view, &CTalloView::CalculationEnded, this, show_caret);
  // Opening, saving and starting anew are what set the format.
  connect(doc, &CTalloDoc::PathChanged, this, &DocumentPanes::ShowFormat);
  show_caret();
  ShowFormat();
}

void DocumentPanes::ShowFormat() {
  line_end_->setText(LineEndName(doc_->format().line_end));
  encoding_->setText(EncodingName(doc_->format()));
}

}  // namespace tallo::shell
