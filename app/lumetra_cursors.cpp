// Writes the program's cursor files (our own pictures, see ZR_CursorArt) into the folder
// given, as the build does for the "Resources" folder beside the program.
#include <cstdio>
#include <filesystem>

#include "gui/ZR_CursorArt.h"
#include "gui/ZR_CursorFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumetra-cursors FOLDER\n");
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
  for (const QString& name : ZR_CursorArt::FileNames()) {
    QPoint hotSpot;
    const QImage image = ZR_CursorArt::Draw(name, &hotSpot);
    if (image.isNull() || !ZR_CursorFile::Write(folder + name, image, hotSpot)) {
      std::fprintf(stderr, "lumetra-cursors: cannot write %s\n", qPrintable(folder + name));
      return 1;
    }
  }
  return 0;
}
