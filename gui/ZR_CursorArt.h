#pragma once
// Our own pointer images, one per cursor file name, drawn at 32 x 32 in black and white
// with a hot spot where the tool acts. The program's "Resources" folder holds them as cursor
// files, written by the build.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

class ZR_CursorArt {
 public:
  static constexpr int kSize = 32;

  // The distinct file names of the cursor ids (each once, in id order).
  static QStringList FileNames();
  // The picture of a file name; a null image for a name that has none.
  static QImage Draw(const QString& fileName, QPoint* hotSpot);
};
