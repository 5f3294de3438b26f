#include "shell/help_dlg.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/function_list.h"
#include "shell/dialog_units.h"

namespace tallo::shell {
namespace {

// The list as the editor shows it: LF line ends, and no empty line after the last.
QString ListForDisplay() {
  const std::string_view list = FunctionListText();
  QString text = QString::fromUtf8(list.data(), static_cast<qsizetype>(list.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(u'\n')) text.chop(1);
  return text;
}

}  // namespace

HelpDlg::HelpDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Dialog"));
  auto* label = new QLabel(QStringLiteral("Format of Functions"), this);
  auto* list = new QPlainTextEdit(this);
  list->setObjectName(QStringLiteral("functionList"));
  list->setReadOnly(true);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setPlainText(ListForDisplay());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(list, 1);
  layout->addWidget(buttons);
  resize(DialogUnitsToPixels(fontMetrics(), QSize(415, 217)));
}

}  // namespace tallo::shell
