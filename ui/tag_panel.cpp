#include "ui/tag_panel.h"

#include <QActionGroup>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "services/settings.h"
#include "services/translation.h"
#include "tags/genre.h"

namespace velmora {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// An editable chooser: typed text stays as typed (no completion into another
// case, no new list entries).
QComboBox* Chooser(const char* name, QWidget* parent) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
  return combo;
}

// The chooser shows "aus" and "fest" in the language in use; the editor
// works with the German words.
QString SourceCaption(const std::string& source) {
  if (source == kTagSourceItems[0]) return QString::fromStdString(Tr("velmora", "aus"));
  if (source == kTagSourceItems[1]) return QString::fromStdString(Tr("velmora", "fest"));
  return Q(source);
}

std::string SourceOf(const QString& caption) {
  for (const char* item : {kTagSourceItems[0], kTagSourceItems[1]}) {
    if (caption == SourceCaption(item)) return item;
  }
  return S(caption);
}

QComboBox* SourceChooser(const char* name, QWidget* parent) {
  QComboBox* combo = Chooser(name, parent);
  for (const char* item : kTagSourceItems) combo->addItem(SourceCaption(item));
  return combo;
}

}  // namespace

TagPanel::TagPanel(FileSystem& disk, ErrorReporter& reporter, LogWriter& log, TagPanelHost& host,
                   QWidget* parent)
    : QGroupBox(tr("MP3 - Tag - Editor"), parent),
      host_(host),
      editor_(disk, reporter, log, *this) {
  setObjectName(QStringLiteral("FrameMp3Tag"));

  txtSeparator_ = Named(new QLineEdit(this), "TxtSeparator");
  txtTitel_ = Named(new QLineEdit(this), "TxtTitel");
  txtInterpret_ = Named(new QLineEdit(this), "TxtInterpret");
  txtAlbum_ = Named(new QLineEdit(this), "TxtAlbum");
  txtKommentar_ = Named(new QLineEdit(this), "TxtKommentar");
  txtJahr_ = Named(new QLineEdit(this), "TxtJahr");
  comboGenreTyp_ = Chooser("ComboGenreTyp", this);
  for (int i = 0; i < kNamedGenreCount; ++i) comboGenreTyp_->addItem(Q(GenreNames()[i]));
  comboTitel_ = SourceChooser("ComboTitel", this);
  comboInterpret_ = SourceChooser("ComboInterpret", this);
  comboAlbum_ = SourceChooser("ComboAlbum", this);
  comboKommentar_ = SourceChooser("ComboKommentar", this);
  comboJahr_ = SourceChooser("ComboJahr", this);
  comboGenre_ = SourceChooser("ComboGenre", this);
  optAlleAus_ = Named(new QRadioButton(tr("vorher"), this), "OptAlleAus");
  optKeineAus_ = Named(new QRadioButton(tr("nachher"), this), "OptKeineAus");
  cmdEditTag_ = Named(new QPushButton(tr("Tag übernehmen"), this), "CmdEditTag");
  cmdTagExit_ = Named(new QPushButton(tr("Ende"), this), "CmdTagExit");
  labId3v2_ = Named(new QLabel(this), "LabId3v2");
  const char* noteNames[kId3Fields] = {"LabId3Titel",     "LabId3Interpret", "LabId3Album",
                                       "LabId3Kommentar", "LabId3Jahr",      "LabId3Genre"};
  for (int i = 0; i < kId3Fields; ++i) notes_[i] = Named(new QLabel(this), noteNames[i]);

  LayOutFields();

  connect(cmdEditTag_, &QPushButton::clicked, this, [this] { CmdEditTag_Click(); });
  connect(cmdTagExit_, &QPushButton::clicked, this, [this] { CmdTagExit_Click(); });
  connect(optAlleAus_, &QRadioButton::clicked, this, [this] { OptAlleAus_Click(); });
  connect(optKeineAus_, &QRadioButton::clicked, this, [this] { OptKeineAus_Click(); });
  // The after view's notes follow what is typed.
  for (QLineEdit* edit : {txtTitel_, txtInterpret_, txtAlbum_, txtKommentar_, txtJahr_}) {
    connect(edit, &QLineEdit::textEdited, this, [this] {
      ReadWidgets();
      ShowNotes();
    });
  }

  WriteWidgets();
  hide();
}

void TagPanel::LayOutFields() {
  auto* grid = new QGridLayout(this);
  auto addRow = [&](int row, const char* name, const char* caption, QWidget* value,
                    QWidget* source) {
    grid->addWidget(Named(new QLabel(tr(caption), this), name), row, 0);
    grid->addWidget(value, row, 1);
    if (source != nullptr) grid->addWidget(source, row, 2);
  };
  addRow(0, "LabSeparator", QT_TR_NOOP("Separator"), txtSeparator_, nullptr);
  auto* views = new QHBoxLayout;
  views->addWidget(optAlleAus_);
  views->addWidget(optKeineAus_);
  grid->addLayout(views, 0, 2);
  grid->addWidget(labId3v2_, 0, 3);
  addRow(1, "LabTitel", QT_TR_NOOP("Titel"), txtTitel_, comboTitel_);
  addRow(2, "LabInterpret", QT_TR_NOOP("Interpret"), txtInterpret_, comboInterpret_);
  addRow(3, "LabAlbum", QT_TR_NOOP("Album"), txtAlbum_, comboAlbum_);
  addRow(4, "LabKommentar", QT_TR_NOOP("Kommentar"), txtKommentar_, comboKommentar_);
  addRow(5, "LabJahr", QT_TR_NOOP("Jahr"), txtJahr_, comboJahr_);
  addRow(6, "LabGenre", QT_TR_NOOP("Genre"), comboGenreTyp_, comboGenre_);
  // The notes beside their fields: rows 1 to 6 hold the fields in note order.
  for (int i = 0; i < kId3Fields; ++i) grid->addWidget(notes_[i], i + 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdEditTag_);
  buttons->addWidget(cmdTagExit_);
  grid->addLayout(buttons, 7, 0, 1, 3);
  grid->setColumnStretch(1, 1);
}

void TagPanel::AddId3v2Menu(QMenu* menu, SettingsStore& settings) {
  QMenu* sub = menu->addMenu(tr("&ID3v2 schreiben"));
  sub->setObjectName(QStringLiteral("MnuId3v2"));
  const std::optional<Id3v2Mode> stored = ParseId3v2Mode(settings.ReadSetting(kKeyId3v2));
  SetId3v2Mode(stored.value_or(Id3v2Mode::kAuto));
  const std::pair<Id3v2Mode, const char*> items[] = {
      {Id3v2Mode::kAuto, QT_TR_NOOP("wenn vorhanden")},
      {Id3v2Mode::kAlways, QT_TR_NOOP("immer")},
      {Id3v2Mode::kNever, QT_TR_NOOP("nie")}};
  auto* group = new QActionGroup(sub);
  for (const auto& [mode, caption] : items) {
    QAction* action = sub->addAction(tr(caption));
    action->setObjectName(QStringLiteral("OptId3v2_") + QLatin1String(Id3v2ModeName(mode)));
    action->setCheckable(true);
    action->setChecked(mode == editor_.id3v2Mode());
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, mode = mode, &settings] {
      SetId3v2Mode(mode);
      settings.WriteSetting(kKeyId3v2, Id3v2ModeName(mode));
    });
  }
}

void TagPanel::SetId3v2Mode(Id3v2Mode mode) {
  editor_.SetId3v2Mode(mode);
  if (editor_.tagEditorOpen()) OnFoundListClick();
}

void TagPanel::CmdTagEdit_Click() {
  show();
  ReadWidgets();
  editor_.CmdTagEdit_Click(host_.TagEntries());
  WriteWidgets();
  emit opened();
}

void TagPanel::CmdTagExit_Click() {
  hide();
  editor_.CmdTagExit_Click();
  emit closed();
}

void TagPanel::OptAlleAus_Click() {
  ReadWidgets();
  editor_.OptAlleAus_Click(host_.TagEntries());
  WriteWidgets();
}

void TagPanel::OptKeineAus_Click() {
  ReadWidgets();
  editor_.OptKeineAus_Click(host_.TagEntries());
  WriteWidgets();
}

void TagPanel::CmdEditTag_Click() {
  ReadWidgets();
  if (host_.PinTagFolders()) {
    editor_.CmdEditTag_Click(host_.TagEntries(), host_.LogOptionOn());
    host_.UnpinTagFolders();
  }
  WriteWidgets();
}

void TagPanel::OnFoundListClick() {
  if (!editor_.tagEditorOpen()) return;
  ReadWidgets();
  editor_.OnFoundListClick(host_.TagEntries());
  WriteWidgets();
}

void TagPanel::ShowTagValues() {
  WriteWidgets();
  repaint();
}

void TagPanel::SetProgress(int value) { host_.SetTagProgress(value); }

void TagPanel::RepeatSearch() { host_.RepeatTagSearch(); }

void TagPanel::ReadWidgets() {
  TagEditorFields& f = editor_.fields();
  f.TxtSeparator = S(txtSeparator_->text());
  f.TxtTitel = S(txtTitel_->text());
  f.TxtInterpret = S(txtInterpret_->text());
  f.TxtAlbum = S(txtAlbum_->text());
  f.TxtKommentar = S(txtKommentar_->text());
  f.TxtJahr = S(txtJahr_->text());
  f.ComboGenreTyp = S(comboGenreTyp_->currentText());
  f.ComboTitel = SourceOf(comboTitel_->currentText());
  f.ComboInterpret = SourceOf(comboInterpret_->currentText());
  f.ComboAlbum = SourceOf(comboAlbum_->currentText());
  f.ComboKommentar = SourceOf(comboKommentar_->currentText());
  f.ComboJahr = SourceOf(comboJahr_->currentText());
  f.ComboGenre = SourceOf(comboGenre_->currentText());
}

void TagPanel::WriteWidgets() {
  const TagEditorFields& f = editor_.fields();
  txtSeparator_->setText(Q(f.TxtSeparator));
  txtTitel_->setText(Q(f.TxtTitel));
  txtInterpret_->setText(Q(f.TxtInterpret));
  txtAlbum_->setText(Q(f.TxtAlbum));
  txtKommentar_->setText(Q(f.TxtKommentar));
  txtJahr_->setText(Q(f.TxtJahr));
  comboGenreTyp_->setEditText(Q(f.ComboGenreTyp));
  comboTitel_->setEditText(SourceCaption(f.ComboTitel));
  comboInterpret_->setEditText(SourceCaption(f.ComboInterpret));
  comboAlbum_->setEditText(SourceCaption(f.ComboAlbum));
  comboKommentar_->setEditText(SourceCaption(f.ComboKommentar));
  comboJahr_->setEditText(SourceCaption(f.ComboJahr));
  comboGenre_->setEditText(SourceCaption(f.ComboGenre));
  optAlleAus_->setChecked(editor_.view() == TagView::kBefore);
  optKeineAus_->setChecked(editor_.view() == TagView::kAfter);
  ShowNotes();
}

void TagPanel::ShowNotes() {
  const TagEditorNotes notes = editor_.Notes();
  labId3v2_->setText(UiText(notes.tag));
  for (int i = 0; i < kId3Fields; ++i) notes_[i]->setText(Q(notes.fields[i]));
}

}  // namespace velmora
