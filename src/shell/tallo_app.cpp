#include "shell/tallo_app.h"

#include <QCommandLineParser>

#include "shell/app_identity.h"
#include "shell/main_frame.h"

namespace tallo::shell {

CTalloApp::CTalloApp(int& argc, char** argv) : QApplication(argc, argv) {
  SetApplicationIdentity();
}

int CTalloApp::Run() {
  QCommandLineParser parser;
  parser.setApplicationDescription(tr("A plain-text statistics worksheet."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), tr("The worksheet to open."),
                               QStringLiteral("[file]"));
  parser.process(arguments());

  CMainFrame frame;
  frame.StartWith(parser.positionalArguments().value(0));
  frame.show();
  frame.OfferRecovery();
  return exec();
}

}  // namespace tallo::shell
