#include "gui/ZR_CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QPixmap>
#include <QSaveFile>

namespace {
constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kCursorType = 2;

uint32_t Le(const QByteArray& b, int at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

void PutLe(QByteArray& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
}  // namespace

std::optional<ZR_CursorFile::Cursor> ZR_CursorFile::Parse(const QByteArray& bytes) {
  if (bytes.size() < kDirectorySize + kEntrySize) return std::nullopt;
  if (Le(bytes, 0, 2) != 0 || Le(bytes, 2, 2) != kCursorType || Le(bytes, 4, 2) < 1) return std::nullopt;
  const int entry = kDirectorySize;
  const QPoint hotSpot(static_cast<int>(Le(bytes, entry + 4, 2)), static_cast<int>(Le(bytes, entry + 6, 2)));
  const uint32_t size = Le(bytes, entry + 8, 4);
  const uint32_t offset = Le(bytes, entry + 12, 4);
  if (offset > static_cast<uint32_t>(bytes.size()) || size > static_cast<uint32_t>(bytes.size()) - offset)
    return std::nullopt;
  const QByteArray payload = bytes.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(size));
  QImage image;
  if (payload.startsWith("\x89PNG"))
    image.loadFromData(payload, "PNG");
  else
    image.loadFromData(bytes, "CUR");  // a classic bitmap cursor, where Qt can read one
  if (image.isNull()) return std::nullopt;
  if (hotSpot.x() >= image.width() || hotSpot.y() >= image.height()) return std::nullopt;
  return Cursor{image, hotSpot};
}

std::optional<ZR_CursorFile::Cursor> ZR_CursorFile::Read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return Parse(file.readAll());
}

QByteArray ZR_CursorFile::Encode(const QImage& image, QPoint hotSpot) {
  if (image.isNull() || image.width() > 256 || image.height() > 256) return {};
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG")) return {};
  QByteArray out;
  PutLe(out, 0, 2);
  PutLe(out, kCursorType, 2);
  PutLe(out, 1, 2);
  out.append(static_cast<char>(image.width() & 0xFF));  // 0 stands for 256
  out.append(static_cast<char>(image.height() & 0xFF));
  out.append('\0');  // no palette
  out.append('\0');
  PutLe(out, static_cast<uint32_t>(hotSpot.x()), 2);
  PutLe(out, static_cast<uint32_t>(hotSpot.y()), 2);
  PutLe(out, static_cast<uint32_t>(png.size()), 4);
  PutLe(out, kDirectorySize + kEntrySize, 4);
  out.append(png);
  return out;
}

bool ZR_CursorFile::Write(const QString& path, const QImage& image, QPoint hotSpot) {
  const QByteArray bytes = Encode(image, hotSpot);
  if (bytes.isEmpty()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
  return file.commit();
}

std::optional<QCursor> ZR_CursorFile::Load(const QString& path) {
  const std::optional<Cursor> cursor = Read(path);
  if (!cursor) return std::nullopt;
  return QCursor(QPixmap::fromImage(cursor->image), cursor->hotSpot.x(), cursor->hotSpot.y());
}
