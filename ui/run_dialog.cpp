#include "ui/run_dialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dialog_parts.h"

namespace velmora {

namespace {

// The action word above the current path; outside a run the label keeps its
// own caption.
QString ActionWord(RunKind kind) {
  switch (kind) {
    case RunKind::kRename:
      return QCoreApplication::translate("velmora", "Umbenennen");
    case RunKind::kCopy:
      return QCoreApplication::translate("velmora", "Kopieren");
    case RunKind::kMove:
      return QCoreApplication::translate("velmora", "Verschieben");
    case RunKind::kNone:
      break;
  }
  return QCoreApplication::translate("velmora", "Umbenennen :");
}

}  // namespace

Dialog::Dialog(const std::string& source, const std::string& target, RunKind kind, QWidget* owner)
    : QDialog(owner) {
  setObjectName(QStringLiteral("Dialog"));
  setWindowTitle(tr("Sind Sie sicher ??"));

  label1_ = MakeDialogLabel("Label1", ActionWord(kind), this);
  txtFrom_ = new PathField("TxtFrom", source, this);
  auto* zu = MakeDialogLabel("Label2", tr("Zu :"), this);
  optLeft_ = MakeDialogOption("OptLeft", tr("Links"), this);
  optRight_ = MakeDialogOption("OptRight", tr("Rechts"), this);
  txtTo_ = new PathField("TxtTo", target, this);

  auto* yes = MakeDialogButton("CmdYes", tr("&Ja"), this);
  auto* all = MakeDialogButton("CmdAll", tr("&Alle"), this);
  auto* no = MakeDialogButton("CmdNo", tr("&Nein"), this);
  auto* cancel = MakeDialogButton("CmdCancel", tr("&Abbrechen"), this);
  connect(yes, &QPushButton::clicked, this, [this] { Choose(Answer::kYes); });
  connect(all, &QPushButton::clicked, this, [this] { Choose(Answer::kAll); });
  connect(no, &QPushButton::clicked, this, [this] { Choose(Answer::kNo); });
  connect(cancel, &QPushButton::clicked, this, [this] { Choose(Answer::kCancel); });
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

Answer Dialog::Ask(const std::string& source, const std::string& target, RunKind kind,
                   QWidget* owner) {
  Dialog dialog(source, target, kind, owner);
  dialog.exec();
  return dialog.answer();
}

void Dialog::Choose(Answer answer) {
  answer_ = answer;
  accept();
}

void Dialog::ShowViews(bool leftView) {
  txtFrom_->ShowView(leftView);
  txtTo_->ShowView(leftView);
}

}  // namespace velmora
