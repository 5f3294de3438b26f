#pragma once
// The application: identity, command line and the one main window.

#include <QApplication>

namespace tallo::shell {

class CTalloApp : public QApplication {
  Q_OBJECT

 public:
  CTalloApp(int& argc, char** argv);

  // Opens the main window on the file named on the command line (or a new document) and
  // runs until it is closed.
  int Run();
};

}  // namespace tallo::shell
