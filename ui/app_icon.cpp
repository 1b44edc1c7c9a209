#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace velmora {

QPixmap VelmoraPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);  // drawn on the SVG's 64 × 64 grid
  p.setPen(Qt::NoPen);

  p.setBrush(QColor(0x2d, 0x5f, 0x8b));
  p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);

  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{18, 10}, {38, 10}, {46, 18}, {46, 50}, {18, 50}}));
  p.setBrush(QColor(0xc9, 0xd6, 0xe3));
  p.drawPolygon(QPolygonF({{38, 10}, {38, 18}, {46, 18}}));
  p.setBrush(QColor(0x9f, 0xb3, 0xc8));
  p.drawRect(QRectF(23, 22, 18, 3));
  p.drawRect(QRectF(23, 28, 14, 3));
  p.setBrush(QColor(0xf2, 0x9f, 0x05));
  p.drawRect(QRectF(23, 34, 18, 3));

  p.drawPolygon(QPolygonF({{10, 42}, {34, 42}, {34, 36}, {52, 47}, {34, 58}, {34, 52}, {10, 52}}));
  return pixmap;
}

QIcon VelmoraIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(VelmoraPixmap(size));
  return icon;
}

}  // namespace velmora
