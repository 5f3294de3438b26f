// Draws the editor as the README shows it: a worksheet opened and calculated, the window
// grabbed into a PNG. Run with QT_QPA_PLATFORM=offscreen (scripts/screenshot.sh does).

#include <QApplication>
#include <QPixmap>
#include <QStandardPaths>
#include <cstdio>

#include "shell/app_identity.h"
#include "shell/main_frame.h"
#include "shell/tallo_view.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: readme-screenshot WORKSHEET OUTPUT.png\n");
    return 2;
  }
  // Keeps the user's recent-file list out of it.
  QStandardPaths::setTestModeEnabled(true);
  tallo::shell::SetApplicationIdentity();
  tallo::shell::CMainFrame frame;
  frame.resize(880, 660);
  frame.StartWith(QString::fromLocal8Bit(argv[1]));
  frame.show();
  if (!frame.view()->CalculateAndWait()) return 1;
  QApplication::processEvents();
  if (!frame.grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "readme-screenshot: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
