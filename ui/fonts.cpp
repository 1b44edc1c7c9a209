#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace velmora {

namespace {

// Sans faces that stand in for Arial, in order of likeness (metric twins first).
const QStringList& ArialStandIns() {
  static const QStringList families{
      QStringLiteral("Arial"),       QStringLiteral("Liberation Sans"),
      QStringLiteral("Arimo"),       QStringLiteral("Helvetica"),
      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
  return families;
}

QFont SansFont() {
  QFont font = QApplication::font();
  font.setFamilies(ArialStandIns());
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

QFont DialogLabelFont() {
  if (QFontDatabase::hasFamily(QStringLiteral("Arial Black"))) {
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Arial Black"));
    return font;
  }
  QFont font = SansFont();
  font.setWeight(QFont::Black);
  return font;
}

QFont DialogPathFont() { return SansFont(); }

}  // namespace velmora
