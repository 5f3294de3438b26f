// tallo: the worksheet editor.

#include "shell/tallo_app.h"

int main(int argc, char** argv) {
  tallo::shell::CTalloApp app(argc, argv);
  return app.Run();
}
