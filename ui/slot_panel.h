// The frame "Umbenennen": the three slot rows of the rename job (number,
// operation chooser, two captioned fields) and the row of run buttons below.
// It owns `slotCode` and hands the job to the run as a RenameJob.
#pragma once

#include <QGroupBox>
#include <array>

#include "engine/job.h"

class QCheckBox;
class QComboBox;
class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class SlotPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit SlotPanel(QWidget* parent = nullptr);

  // Fills each chooser with the catalogue entries, list position = code,
  // none chosen, text "nicht aktiv"; "Name aus Tags" shows its fields as tooltip.
  void FillCatalogue();

  // The fields of "Name aus Tags", for its tooltips.
  static QString FieldLegend();

  // The job as the run reads it: codes, field texts and chooser texts.
  [[nodiscard]] RenameJob ReadJob() const;

  // Shows code in slot's chooser, as if chosen there, and the two fields;
  // code 0 shows "nicht aktiv". For a loaded job.
  void ShowSlot(int slot, int code, const QString& first, const QString& second);

  // The run may reset an out-of-range code to 0.
  void SetSlotCode(int slot, int code);
  [[nodiscard]] int SlotCode(int slot) const { return slotCode_[slot]; }

  // The counter's options beside the slots.
  [[nodiscard]] QLineEdit* TxtNumberStep() const { return txtNumberStep_; }
  [[nodiscard]] QCheckBox* OptRestartPerFolder() const { return optRestartPerFolder_; }

  [[nodiscard]] QPushButton* CmdTagEdit() const { return cmdTagEdit_; }
  [[nodiscard]] QPushButton* CmdMove() const { return cmdMove_; }
  [[nodiscard]] QPushButton* CmdCopy() const { return cmdCopy_; }
  [[nodiscard]] QPushButton* CmdRename() const { return cmdRename_; }

 signals:
  // The user chose an operation, or a field's text changed (typed or set).
  void JobChanged();

 private:
  void Auswahl_Click(int slot);
  void AddCounterOptions(QBoxLayout* row);
  // The buttons under the slots, the counter's options among them.
  QHBoxLayout* ButtonRow();

  std::array<int, kSlotCount> slotCode_{};
  std::array<QLabel*, kSlotCount> labNo_{};
  std::array<QComboBox*, kSlotCount> auswahl_{};
  std::array<QLabel*, kSlotCount> labSource_{};
  std::array<QLineEdit*, kSlotCount> txtSource_{};
  std::array<QLabel*, kSlotCount> labDestination_{};
  std::array<QLineEdit*, kSlotCount> txtDestination_{};
  QLineEdit* txtNumberStep_ = nullptr;
  QCheckBox* optRestartPerFolder_ = nullptr;
  QPushButton* cmdTagEdit_ = nullptr;
  QPushButton* cmdMove_ = nullptr;
  QPushButton* cmdCopy_ = nullptr;
  QPushButton* cmdRename_ = nullptr;
};

}  // namespace velmora
