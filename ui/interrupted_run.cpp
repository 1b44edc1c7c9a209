#include "ui/interrupted_run.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/message_box.h"

namespace velmora {

RunOffer OfferRun(QWidget* parent, const QString& text, const QString& takeBack,
                  const QString& leave) {
  QMessageBox box(parent);
  PreparePlainBox(box, QStringLiteral("InterruptedRun"), text);
  QPushButton* back = box.addButton(takeBack, QMessageBox::YesRole);
  QPushButton* dismiss = box.addButton(QCoreApplication::translate("velmora", "&Verwerfen"),
                                       QMessageBox::DestructiveRole);
  box.setEscapeButton(box.addButton(leave, QMessageBox::NoRole));
  box.exec();
  if (box.clickedButton() == back) return RunOffer::kTakeBack;
  return box.clickedButton() == dismiss ? RunOffer::kDismiss : RunOffer::kLeave;
}

}  // namespace velmora
