#pragma once
// Cursor files (".cur"): the icon directory of type 2 with one entry, whose hot spot sits in
// the entry and whose image is a PNG (as written here) or a device-independent bitmap (read
// through Qt's icon reader when it is installed).

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

class ZR_CursorFile {
 public:
  struct Cursor {
    QImage image;
    QPoint hotSpot;
  };

  // Nothing when the file is missing, is no cursor file or its image cannot be decoded.
  static std::optional<Cursor> Read(const QString& path);
  static std::optional<Cursor> Parse(const QByteArray& bytes);
  // Writes a 32-bit image of at most 256 x 256 with its hot spot; false when it cannot.
  [[nodiscard]] static bool Write(const QString& path, const QImage& image, QPoint hotSpot);
  static QByteArray Encode(const QImage& image, QPoint hotSpot);
  // The screen cursor of a file, or nothing.
  static std::optional<QCursor> Load(const QString& path);
};
