#include "shell/tallo_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <string_view>

#include "engine/calculate.h"
#include "shell/busy_cursor.h"
#include "shell/dropped_files.h"
#include "shell/help_dlg.h"
#include "shell/line_wrap_guard.h"
#include "shell/tallo_doc.h"
#include "shell/worksheet_edit.h"

namespace tallo::shell {
namespace {

// Columns between TAB stops: pasted spreadsheet rows line up as they would in a terminal.
constexpr int kTabColumns = 8;

}  // namespace

CTalloView::CTalloView(QWidget* parent) : QPlainTextEdit(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setTabStopDistance(kTabColumns * fontMetrics().horizontalAdvance(u' '));
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A scroll bar that came and went with the length of the text would change the width of the text,
  // and every change of width lays out every paragraph again: a second or more for a large file,
  // just after it was opened.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  new LineWrapGuard(this);
}

void CTalloView::OnDoCalculation() {
  const BusyCursor busy;
  const QByteArray utf8 = DocumentText(*document()).toUtf8();
  const Calculation calculation =
      CalculateWorksheet(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  // The view keeps showing the line at its top, however many lines are inserted above it.
  const QTextBlock top = firstVisibleBlock();
  const int lines_into_top = verticalScrollBar()->value() - top.firstLineNumber();
  const QTextCursor top_anchor(top);
  ApplyAnswers(*document(), utf8, calculation.insertions);
  verticalScrollBar()->setValue(top_anchor.block().firstLineNumber() + lines_into_top);
  document()->setModified(true);
}

void CTalloView::OnFormatOfFunctions() {
  HelpDlg dialog(this);
  dialog.exec();
}

void CTalloView::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFiles(event->mimeData()).isEmpty()) {
    QPlainTextEdit::dragEnterEvent(event);
  } else {
    event->acceptProposedAction();
  }
}

void CTalloView::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedFiles(event->mimeData()).isEmpty()) {
    QPlainTextEdit::dragMoveEvent(event);
  } else {
    event->acceptProposedAction();
  }
}

void CTalloView::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFiles(event->mimeData());
  if (paths.isEmpty()) {
    QPlainTextEdit::dropEvent(event);
    return;
  }
  event->acceptProposedAction();
  emit FilesDropped(paths);
}

}  // namespace tallo::shell
