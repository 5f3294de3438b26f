// An editor that crashes, for the tests of recovery copies: opens FILE in a window whose
// copies go to FOLDER, types TEXT at its end, waits until the copy of that change is on
// disk and then dies by SIGKILL, so that none of its own clean-up runs. Exits with 1 when no
// copy appears within half a minute.

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <cstdio>

#include "shell/app_identity.h"
#include "shell/main_frame.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_view.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: crash_helper FILE FOLDER TEXT\n");
    return 2;
  }
  QStandardPaths::setTestModeEnabled(true);  // the user's recent-file list stays out of it
  tallo::shell::SetApplicationIdentity();
  tallo::shell::CMainFrame frame(nullptr, QString::fromLocal8Bit(argv[2]));
  frame.StartWith(QString::fromLocal8Bit(argv[1]));
  frame.show();
  frame.view()->moveCursor(QTextCursor::End);
  frame.view()->insertPlainText(QString::fromLocal8Bit(argv[3]));
  const QString copy = frame.recovery()->CopyPath();
  const QDeadlineTimer deadline(30000);
  while (!QFile::exists(copy) && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
  if (!QFile::exists(copy)) return 1;
  std::raise(SIGKILL);
  return 1;
}
