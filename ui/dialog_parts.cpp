#include "ui/dialog_parts.h"

#include "engine/path_view.h"
#include "ui/fonts.h"

namespace velmora {

PathField::PathField(const char* name, std::string path, QWidget* parent)
    : QLineEdit(parent), path_(std::move(path)) {
  setObjectName(QLatin1String(name));
  setReadOnly(true);
  setFont(DialogPathFont());
  // Room for the 73 characters of a shortened path.
  setMinimumWidth(fontMetrics().averageCharWidth() * (kPathViewLength + 8));
}

void PathField::ShowView(bool leftView) {
  setText(QString::fromStdString(PathView(path_, leftView)));
  setCursorPosition(0);
}

QPushButton* MakeDialogButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setFont(DialogLabelFont());
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace velmora
