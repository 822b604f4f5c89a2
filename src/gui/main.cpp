// lumetra: the editor.

#include "gui/app/application.h"

int main(int argc, char** argv) {
  lumetra::gui::CTessaraApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  return app.Run();
}
