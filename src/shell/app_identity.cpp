#include "shell/app_identity.h"

#include <QApplication>

namespace tallo::shell {

void SetApplicationIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Tallo"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TALLO_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(TALLO_APP_ID));
  QApplication::setWindowIcon(ApplicationIcon());
}

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/icons/tallo.svg")); }

}  // namespace tallo::shell
