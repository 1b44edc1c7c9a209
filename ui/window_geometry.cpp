#include "ui/window_geometry.h"

#include <QString>
#include <QStringList>
#include <algorithm>

namespace velmora {
namespace {

QList<int> Numbers(const std::string& text) {
  QList<int> numbers;
  if (text.empty()) return numbers;
  for (const QString& part : QString::fromStdString(text).split(QLatin1Char(','))) {
    bool ok = false;
    const int value = part.trimmed().toInt(&ok);
    if (!ok) return {};
    numbers.append(value);
  }
  return numbers;
}

qint64 Overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

}  // namespace

std::string GeometryText(const QRect& rect) {
  return QStringLiteral("%1,%2,%3,%4")
      .arg(rect.x())
      .arg(rect.y())
      .arg(rect.width())
      .arg(rect.height())
      .toStdString();
}

std::optional<QRect> GeometryFromText(const std::string& text) {
  const QList<int> n = Numbers(text);
  if (n.size() != 4 || n[2] <= 0 || n[3] <= 0) return std::nullopt;
  return QRect(n[0], n[1], n[2], n[3]);
}

std::string SizesText(const QList<int>& sizes) {
  QStringList parts;
  for (int size : sizes) parts << QString::number(size);
  return parts.join(QLatin1Char(',')).toStdString();
}

QList<int> SizesFromText(const std::string& text) {
  QList<int> sizes = Numbers(text);
  for (int size : sizes) {
    if (size < 0) return {};
  }
  return sizes;
}

QRect PlaceInside(const QRect& stored, const QList<QRect>& screens) {
  if (screens.isEmpty()) return stored;
  QRect screen = screens.first();
  qint64 best = 0;
  for (const QRect& candidate : screens) {
    const qint64 overlap = Overlap(stored, candidate);
    if (overlap > best) {
      best = overlap;
      screen = candidate;
    }
  }
  QRect placed(stored.topLeft(), stored.size().boundedTo(screen.size()));
  placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - placed.width() + 1));
  placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() - placed.height() + 1));
  return placed;
}

}  // namespace velmora
