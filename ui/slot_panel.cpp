#include "ui/slot_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/name_fields.h"
#include "services/translation.h"

namespace velmora {

namespace {

// The chooser's text while no operation is chosen.
constexpr char kInactiveSlotText[] = "nicht aktiv";

QString Indexed(const char* name, int index) {
  return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

SlotPanel::SlotPanel(QWidget* parent) : QGroupBox(tr("Umbenennen"), parent) {
  setObjectName(QStringLiteral("Frame1"));
  auto* rows = new QGridLayout;
  rows->setColumnStretch(3, 1);
  rows->setColumnStretch(5, 1);
  // The longest caption sets the width, so the fields stay put when it changes.
  const int captionWidth = fontMetrics().horizontalAdvance(QStringLiteral("Spiegel")) + 8;
  for (int i = 0; i < kSlotCount; ++i) {
    labNo_[i] = new QLabel(tr("No. %1").arg(i + 1), this);
    labNo_[i]->setObjectName(Indexed("LabNo", i));
    auswahl_[i] = new QComboBox(this);
    auswahl_[i]->setObjectName(Indexed("Auswahl", i));
    auswahl_[i]->setEditable(true);
    auswahl_[i]->setInsertPolicy(QComboBox::NoInsert);
    auswahl_[i]->setMaxVisibleItems(kOperationCount);
    auswahl_[i]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auswahl_[i]->setEditText(UiText(kInactiveSlotText));
    labSource_[i] = new QLabel(this);
    labSource_[i]->setObjectName(Indexed("LabSource", i));
    labSource_[i]->setMinimumWidth(captionWidth);
    labSource_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtSource_[i] = new QLineEdit(this);
    txtSource_[i]->setObjectName(Indexed("TxtSource", i));
    labDestination_[i] = new QLabel(this);
    labDestination_[i]->setObjectName(Indexed("LabDestination", i));
    labDestination_[i]->setMinimumWidth(captionWidth);
    labDestination_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtDestination_[i] = new QLineEdit(this);
    txtDestination_[i]->setObjectName(Indexed("TxtDestination", i));
    labSource_[i]->setBuddy(txtSource_[i]);
    labDestination_[i]->setBuddy(txtDestination_[i]);

    rows->addWidget(labNo_[i], i, 0);
    rows->addWidget(auswahl_[i], i, 1);
    rows->addWidget(labSource_[i], i, 2);
    rows->addWidget(txtSource_[i], i, 3);
    rows->addWidget(labDestination_[i], i, 4);
    rows->addWidget(txtDestination_[i], i, 5);
    connect(auswahl_[i], &QComboBox::activated, this, [this, i] {
      Auswahl_Click(i);
      emit JobChanged();
    });
    connect(txtSource_[i], &QLineEdit::textChanged, this, &SlotPanel::JobChanged);
    connect(txtDestination_[i], &QLineEdit::textChanged, this, &SlotPanel::JobChanged);
  }

  auto* frame = new QVBoxLayout(this);
  frame->addLayout(rows);
  frame->addLayout(ButtonRow());
}

QHBoxLayout* SlotPanel::ButtonRow() {
  cmdTagEdit_ = MakeButton("CmdTagEdit", tr("Edit MP3-Tag"), this);
  cmdMove_ = MakeButton("CmdMove", tr("Verschieben"), this);
  cmdCopy_ = MakeButton("CmdCopy", tr("Kopieren"), this);
  cmdRename_ = MakeButton("CmdRename", tr("Umbenennen"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdTagEdit_);
  AddCounterOptions(buttons);
  buttons->addStretch(1);
  buttons->addWidget(cmdMove_);
  buttons->addWidget(cmdCopy_);
  buttons->addWidget(cmdRename_);
  return buttons;
}

void SlotPanel::AddCounterOptions(QBoxLayout* row) {
  auto* caption = new QLabel(tr("Schrittweite"), this);
  caption->setObjectName(QStringLiteral("LabNumberStep"));
  txtNumberStep_ = new QLineEdit(QStringLiteral("1"), this);
  txtNumberStep_->setObjectName(QStringLiteral("TxtNumberStep"));
  txtNumberStep_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("2147483647")) +
                                  16);
  caption->setBuddy(txtNumberStep_);
  optRestartPerFolder_ = new QCheckBox(tr("Je Ordner neu beginnen"), this);
  optRestartPerFolder_->setObjectName(QStringLiteral("OptRestartPerFolder"));
  row->addWidget(caption);
  row->addWidget(txtNumberStep_);
  row->addWidget(optRestartPerFolder_);
  connect(txtNumberStep_, &QLineEdit::textChanged, this, &SlotPanel::JobChanged);
  connect(optRestartPerFolder_, &QCheckBox::toggled, this, &SlotPanel::JobChanged);
}

QString SlotPanel::FieldLegend() {
  return tr(
      "Felder: {Interpret} {Titel} {Album} {Jahr} {Nr} ({Nr:2} ergibt 07) {Genre} "
      "{Kommentar}; Fotos: {Datum} {Zeit}; jede Datei: {Geändert} {GeändertZeit}. "
      "Englisch ebenso: {artist} {title} {album} {year} {track} {genre} {comment} "
      "{date} {time} {modified} {mtime}. {{ und }} ergeben Klammern.");
}

void SlotPanel::FillCatalogue() {
  for (QComboBox* combo : auswahl_) {
    for (const CatalogueEntry& entry : Catalogue()) {
      combo->addItem(UiText(entry.listText));
    }
    combo->setItemData(kFromTagsCode, FieldLegend(), Qt::ToolTipRole);
    // Adding to an empty combo chooses its first entry; none is chosen at start.
    combo->setCurrentIndex(-1);
    combo->setEditText(UiText(kInactiveSlotText));
  }
}

void SlotPanel::Auswahl_Click(int slot) {
  const int position = auswahl_[slot]->currentIndex();
  slotCode_[slot] = position;
  if (position >= 0 && position < kOperationCount) {
    const CatalogueEntry& entry = Catalogue()[position];
    labSource_[slot]->setText(UiText(entry.firstCaption));
    labDestination_[slot]->setText(UiText(entry.secondCaption));
    txtSource_[slot]->setToolTip(position == kFromTagsCode ? FieldLegend() : QString());
  } else {
    labSource_[slot]->clear();
    labDestination_[slot]->clear();
    slotCode_[slot] = 0;
  }
}

RenameJob SlotPanel::ReadJob() const {
  RenameJob job;
  for (int i = 0; i < kSlotCount; ++i) {
    job.slotCode[i] = slotCode_[i];
    job.txtSource[i] = txtSource_[i]->text().toStdString();
    job.txtDestination[i] = txtDestination_[i]->text().toStdString();
    job.auswahlText[i] = auswahl_[i]->currentText().toStdString();
  }
  job.numberStep = txtNumberStep_->text().toStdString();
  job.restartPerFolder = optRestartPerFolder_->isChecked();
  return job;
}

void SlotPanel::ShowSlot(int slot, int code, const QString& first, const QString& second) {
  QComboBox* combo = auswahl_[slot];
  if (code > 0 && code < kOperationCount) {
    combo->setCurrentIndex(code);
  } else {
    combo->setCurrentIndex(-1);
    combo->setEditText(UiText(kInactiveSlotText));
  }
  Auswahl_Click(slot);
  txtSource_[slot]->setText(first);
  txtDestination_[slot]->setText(second);
  emit JobChanged();
}

void SlotPanel::SetSlotCode(int slot, int code) { slotCode_[slot] = code; }

}  // namespace velmora
