#include "ui/dialog_parts.h"

#include "engine/path_view.h"
#include "ui/fonts.h"

namespace velmora {
namespace {

// A widget of type W with a caption, named and in the dialogs' label font.
template <typename W>
W* MakeCaptioned(const char* name, const QString& caption, QWidget* parent) {
  auto* widget = new W(caption, parent);
  widget->setObjectName(QLatin1String(name));
  widget->setFont(DialogLabelFont());
  return widget;
}

}  // namespace

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
  auto* button = MakeCaptioned<QPushButton>(name, caption, parent);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QLabel* MakeDialogLabel(const char* name, const QString& text, QWidget* parent) {
  return MakeCaptioned<QLabel>(name, text, parent);
}

QRadioButton* MakeDialogOption(const char* name, const QString& caption, QWidget* parent) {
  return MakeCaptioned<QRadioButton>(name, caption, parent);
}

}  // namespace velmora
