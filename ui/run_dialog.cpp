#include "ui/run_dialog.h"
#include <QCoreApplication>

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dialog_parts.h"

namespace velmora {

namespace {

// The action word above the current path; the design text stays when no
// mode flag is set.
QString ActionWord(const RunFlags& flags) {
  QString word = QCoreApplication::translate("velmora", "Umbenennen :");
  if (flags.renameFiles) word = QCoreApplication::translate("velmora", "Umbenennen");
  if (flags.copyFiles) word = QCoreApplication::translate("velmora", "Kopieren");
  if (flags.moveFiles) word = QCoreApplication::translate("velmora", "Verschieben");
  return word;
}

}  // namespace

Dialog::Dialog(const std::string& nameSrc, const std::string& nameDest, const RunFlags& flags,
               QWidget* owner)
    : QDialog(owner) {
  setObjectName(QStringLiteral("Dialog"));
  setWindowTitle(tr("Sind Sie sicher ??"));

  label1_ = MakeDialogLabel("Label1", ActionWord(flags), this);
  txtFrom_ = new PathField("TxtFrom", nameSrc, this);
  auto* zu = MakeDialogLabel("Label2", tr("Zu :"), this);
  optLeft_ = MakeDialogOption("OptLeft", tr("Links"), this);
  optRight_ = MakeDialogOption("OptRight", tr("Rechts"), this);
  txtTo_ = new PathField("TxtTo", nameDest, this);

  auto* yes = MakeDialogButton("CmdYes", tr("&Ja"), this);
  auto* all = MakeDialogButton("CmdAll", tr("&Alle"), this);
  auto* no = MakeDialogButton("CmdNo", tr("&Nein"), this);
  auto* cancel = MakeDialogButton("CmdCancel", tr("&Abbrechen"), this);
  connect(yes, &QPushButton::clicked, this, [this] { Answer(kAnswerYes); });
  connect(all, &QPushButton::clicked, this, [this] { Answer(kAnswerAll); });
  connect(no, &QPushButton::clicked, this, [this] { Answer(kAnswerNo); });
  connect(cancel, &QPushButton::clicked, this, [this] { Answer(kAnswerCancel); });
  connect(optLeft_, &QRadioButton::clicked, this, [this] { ShowViews(true); });
  connect(optRight_, &QRadioButton::clicked, this, [this] { ShowViews(false); });

  auto* viewRow = new QHBoxLayout;
  viewRow->addWidget(zu);
  viewRow->addStretch(1);
  viewRow->addWidget(optLeft_);
  viewRow->addWidget(optRight_);
  auto* buttonRow = new QHBoxLayout;
  for (QPushButton* button : {yes, all, no, cancel}) buttonRow->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label1_);
  layout->addWidget(txtFrom_);
  layout->addLayout(viewRow);
  layout->addWidget(txtTo_);
  layout->addSpacing(8);
  layout->addLayout(buttonRow);

  // Both paths open in the right-hand view, and the option says so.
  optRight_->setChecked(true);
  ShowViews(false);
}

int Dialog::Ask(const std::string& nameSrc, const std::string& nameDest, const RunFlags& flags,
                QWidget* owner) {
  Dialog dialog(nameSrc, nameDest, flags, owner);
  dialog.exec();
  return dialog.answer();
}

void Dialog::Answer(int code) {
  answer_ = code;
  accept();
}

void Dialog::ShowViews(bool leftView) {
  txtFrom_->ShowView(leftView);
  txtTo_->ShowView(leftView);
}

}  // namespace velmora
