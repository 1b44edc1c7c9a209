#include "ui/about_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/translation.h"
#include "ui/app_icon.h"
#include "ui/message_box.h"

#ifndef VELMORA_VERSION_MAJOR
#define VELMORA_VERSION_MAJOR 0
#define VELMORA_VERSION_MINOR 0
#define VELMORA_VERSION_PATCH 0
#endif

namespace velmora {
namespace {

// The maker's two lines: who and how to reach them, and the licence.
constexpr const char* kContactLine1 =
    VELMORA_TEXT("velmora", "Velmora-Team, Kontakt über die Projektseite von Velmora");
constexpr const char* kContactLine2 = VELMORA_TEXT(
    "velmora", "Freie Software unter der GNU GPL, Version 3 oder neuer (GPL-3.0-or-later)");

QLabel* Label(const char* name, const std::string& text, QWidget* parent) {
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  auto* label = new QLabel(shown, parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

}  // namespace

AboutTexts MakeAboutTexts(int major, int minor, int revision) {
  AboutTexts texts;
  texts.caption = std::string("About ") + kAppTitle;
  texts.title = std::string(kAppTitle) + "    " + Tr("velmora", kMakerSign);
  texts.version = "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
                  std::to_string(revision);
  texts.description =
      Tr("velmora", "Einfaches Umbenennen, Kopieren und Verschieben von mehreren Dateien.") + "\r" +
      Tr("velmora", "Editieren und Erstellen von MP3-TAGs aus dem File-Namen.") + "\r\r" +
      Tr("velmora", " Freiwillige Spenden werden jedoch gerne entgegengenommen") + "\r\r" +
      Tr("velmora", kContactLine1) + "\r" + Tr("velmora", kContactLine2);
  texts.disclaimer = Tr("velmora",
                        "Für durch dieses Tool verursachte Schäden an Dateien und Ordnern"
                        " kann keine Haftung übernommen werden") +
                     "\r";
  return texts;
}

AboutWindow::AboutWindow() {
  const AboutTexts texts =
      MakeAboutTexts(VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR, VELMORA_VERSION_PATCH);
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QString::fromStdString(texts.caption));
  setWindowIcon(VelmoraIcon());
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);

  auto* picIcon = new QLabel(this);
  picIcon->setObjectName(QStringLiteral("picIcon"));
  picIcon->setPixmap(VelmoraPixmap(48));
  picIcon->setAlignment(Qt::AlignTop);

  auto* line = new QFrame(this);
  line->setObjectName(QStringLiteral("Line1"));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

  QLabel* lblTitle = Label("lblTitle", texts.title, this);
  QFont titleFont = lblTitle->font();
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);
  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(Label("lblVersion", texts.version, this));
  text->addWidget(Label("lblDescription", texts.description, this));
  auto* top = new QHBoxLayout;
  top->addWidget(picIcon);
  top->addLayout(text, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Label("lblDisclaimer", texts.disclaimer, this), 1);
  bottom->addWidget(cmdOK, 0, Qt::AlignBottom);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line);
  layout->addLayout(bottom);
  setMinimumWidth(460);
  // A fixed dialog frame: the window keeps the size its texts need.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

// Escape rejects the dialog, which closes it the same way.
void AboutWindow::cmdOK_Click() { close(); }

}  // namespace velmora
