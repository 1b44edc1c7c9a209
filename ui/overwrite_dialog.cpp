#include "ui/overwrite_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dialog_parts.h"

namespace velmora {

Dialog2::Dialog2(const std::string& target, QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Dialog2"));
  setWindowTitle(tr("Löschen ???"));

  auto* exists = MakeDialogLabel("Label1_0", tr("Die Zieldatei existiert bereits"), this);
  txtTo_ = new PathField("TxtTo", target, this);
  auto* optLeft = MakeDialogOption("OptLeft", tr("Links"), this);
  auto* optRight = MakeDialogOption("OptRight", tr("Rechts"), this);
  auto* question = MakeDialogLabel("Label1_1", tr("Datei löschen ?"), this);

  auto* yes = MakeDialogButton("CmdYes", tr("&Ja"), this);
  auto* all = MakeDialogButton("CmdAll", tr("&Alle"), this);
  auto* cancel = MakeDialogButton("CmdCancel", tr("&Abbrechen"), this);
  connect(yes, &QPushButton::clicked, this, [this] { Choose(Answer::kYes); });
  connect(all, &QPushButton::clicked, this, [this] { Choose(Answer::kAll); });
  connect(cancel, &QPushButton::clicked, this, [this] { Choose(Answer::kCancel); });
  connect(optLeft, &QRadioButton::clicked, this, [this] { txtTo_->ShowView(true); });
  connect(optRight, &QRadioButton::clicked, this, [this] { txtTo_->ShowView(false); });

  auto* viewRow = new QHBoxLayout;
  viewRow->addStretch(1);
  viewRow->addWidget(optLeft);
  viewRow->addWidget(optRight);
  auto* buttonRow = new QHBoxLayout;
  for (QPushButton* button : {yes, all, cancel}) buttonRow->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(exists);
  layout->addWidget(txtTo_);
  layout->addLayout(viewRow);
  layout->addWidget(question);
  layout->addSpacing(8);
  layout->addLayout(buttonRow);

  optRight->setChecked(true);
  txtTo_->ShowView(false);
}

Answer Dialog2::Ask(const std::string& target, QWidget* owner) {
  Dialog2 dialog(target, owner);
  dialog.exec();
  return dialog.answer();
}

void Dialog2::Choose(Answer answer) {
  answer_ = answer;
  accept();
}

}  // namespace velmora
