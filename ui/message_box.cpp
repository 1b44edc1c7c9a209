#include "ui/message_box.h"

#include <QMessageBox>

#include "services/translation.h"

namespace velmora {

namespace {

// The engine's texts break lines with CR LF or a lone CR; a label wants LF.
QString DisplayLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace

void PreparePlainBox(QMessageBox& box, const QString& name, const QString& text,
                     const QString& title) {
  box.setObjectName(name);
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(title);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
}

void ShowMessageBox(QWidget* parent, const QString& text, const QString& title) {
  QMessageBox box(parent);
  PreparePlainBox(box, QStringLiteral("MessageBox"), DisplayLines(text), title);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

void QtMessageSink::ShowMessage(const std::string& text) { ShowMessageBox(parent_, UiText(text)); }

}  // namespace velmora
