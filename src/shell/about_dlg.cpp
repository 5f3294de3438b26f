#include "shell/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/app_identity.h"

namespace tallo::shell {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tallo"));
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
  icon->setPixmap(ApplicationIcon().pixmap(size, size));
  icon->setAlignment(Qt::AlignTop);
  auto* version = new QLabel(QStringLiteral("Tallo Version " TALLO_VERSION), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* text = new QHBoxLayout;
  text->addWidget(icon);
  text->addWidget(version);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(text);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tallo::shell
