// The desktop viewer: `lumetra [DIR | FILES...]` opens the main window and imports the study
// given, if any.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "app/ZR_CliFiles.h"
#include "gui/ZR_Application.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version") {
      std::printf("lumetra %s\n", LMX_VERSION);
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      std::printf("usage: lumetra [DIR | FILES...]\n"
                  "Opens the viewer; a folder (all its files) or a list of files is imported at start.\n");
      return 0;
    }
  }
  // Without a display Qt would abort; say what to do instead.
  if (!ZR_Application::HasDisplay()) {
    std::fprintf(stderr,
                 "lumetra: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "         lumetra-cli render DIR --out FILE.png draws a study's 3D view without one.\n");
    return 1;
  }
  QApplication app(argc, argv);
  ZR_Application::Prepare();
  std::vector<std::string> files;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i)
    if (!ZR_CliFiles::Collect(args[i].toStdString(), files)) return 1;
  return ZR_Application::Run(app, files);
}
