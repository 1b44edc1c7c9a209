// The help, history and About windows as the menu opens them.
#include "ui/info_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>

#include "tests/support/temp_folder.h"
#include "tests/ui/modal_answerer.h"

namespace velmora::testing {
namespace {

// Runs what close() left to do, so a closed window is really gone.
void Settle() {
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<std::string> Entries(QListWidget* list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list->count(); ++i) entries.push_back(list->item(i)->text().toStdString());
  return entries;
}

class InfoWindowsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    windows_.reset();
    Settle();
  }
  std::string HelpPath() const { return temp_ / "Hilfe.txt"; }

  TempFolder temp_;
  std::unique_ptr<InfoWindows> windows_ = std::make_unique<InfoWindows>(temp_.path());
};

TEST_F(InfoWindowsTest, MissingHelpShowsTheErrorOnceAndOpensEmpty) {
  ModalAnswerer answerer;
  QString title, text;
  answerer.Then("MessageBox", "OK", [&](QWidget* box) {
    title = box->windowTitle();
    text = static_cast<QMessageBox*>(box)->text();
  });
  HelpWindow* help = windows_->OpenHelp();
  EXPECT_EQ(answerer.log(), (std::vector<std::string>{"MessageBox:OK"}));
  EXPECT_EQ(title, "ERROR");
  EXPECT_EQ(text, "File: Hilfe.txt nicht gefunden");
  EXPECT_EQ(help->objectName(), "Hilfe");
  EXPECT_EQ(help->windowTitle(), "Hilfe");
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->parentWidget(), nullptr);
  EXPECT_EQ(help->List1()->count(), 0);

  EXPECT_EQ(windows_->OpenHelp(), help);  // already open: only brought forward
  EXPECT_EQ(answerer.log().size(), 1u);
}

TEST_F(InfoWindowsTest, HelpShowsTheFileLineByLineAndScrollsToItsLongestLine) {
  ModalAnswerer answerer;
  const std::string longLine = "Lange Zeile:" + std::string(300, 'x');
  WriteFile(HelpPath(), "Velmora-Hilfe\r\n\r\n\tSuche\r\n" + longLine + "\r\n");
  HelpWindow* help = windows_->OpenHelp();
  Settle();
  EXPECT_EQ(Entries(help->List1()),
            (std::vector<std::string>{"Velmora-Hilfe", "", "\tSuche", longLine}));
  QScrollBar* bar = help->List1()->horizontalScrollBar();
  EXPECT_GE(bar->maximum() + help->List1()->viewport()->width(),
            help->List1()->fontMetrics().horizontalAdvance(QString::fromStdString(longLine)));
  help->close();
  Settle();

  WriteFile(HelpPath(), "");
  HelpWindow* again = windows_->OpenHelp();
  EXPECT_EQ(again->List1()->count(), 0);
  EXPECT_TRUE(answerer.log().empty());  // an empty file is no failure
}

TEST_F(InfoWindowsTest, HistoryOpenedTwiceShowsItsFourteenReleasesOnce) {
  HistoryWindow* history = windows_->OpenHistory();
  EXPECT_EQ(windows_->OpenHistory(), history);
  EXPECT_EQ(history->objectName(), "Hist");
  EXPECT_EQ(history->windowTitle(), "Änderungsgeschichte");
  const std::vector<std::string> entries = Entries(history->List1());
  EXPECT_EQ(entries, ChangeHistoryLines());

  const QRegularExpression header(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}\\tV\\d+(\\.\\d+)+$"));
  int headers = 0, separators = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const QString entry = QString::fromStdString(entries[i]);
    if (entry.isEmpty()) {
      ++separators;
      EXPECT_TRUE(header.match(QString::fromStdString(entries[i + 1])).hasMatch()) << i;
    } else if (header.match(entry).hasMatch()) {
      ++headers;
    } else {
      EXPECT_TRUE(entry.startsWith(QLatin1String("\t\t"))) << entries[i];
    }
  }
  EXPECT_EQ(headers, 14);
  EXPECT_EQ(separators, 13);
  EXPECT_TRUE(header.match(QString::fromStdString(entries[0])).hasMatch());
  EXPECT_EQ(std::vector<std::string>(entries.begin() + 1, entries.begin() + 7),
            (std::vector<std::string>{
                "\t\tFehlerbehebung:", "\t\tDer letzte Such-Pfad wird gespeichert und bei",
                "\t\terneutem Aufruf wiederhergestellt.",
                "\t\tFalls dieser Pfad dann jedoch nicht mehr existierte,",
                "\t\twurde immer eine Fehlermeldung ausgegeben",
                "\t\tund das Programm konnte nicht mehr gestartet werden."}));

  history->close();
  Settle();
  HistoryWindow* fresh = windows_->OpenHistory();
  EXPECT_EQ(fresh->List1()->count(), static_cast<int>(entries.size()));
}

TEST_F(InfoWindowsTest, AboutShowsItsCaptionsAndClosesOnOkEnterAndEscape) {
  AboutWindow* about = windows_->OpenAbout();
  EXPECT_EQ(about->objectName(), "frmAbout");
  EXPECT_EQ(about->windowTitle(), "About Velmora");
  EXPECT_FALSE(about->isModal());
  auto label = [&](const char* name) {
    return about->findChild<QLabel*>(QLatin1String(name))->text().toStdString();
  };
  EXPECT_EQ(label("lblTitle"), "Velmora    Velmora-Team");
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))
                  .match(QString::fromStdString(label("lblVersion")))
                  .hasMatch());
  EXPECT_EQ(label("lblDescription").rfind(
                "Einfaches Umbenennen, Kopieren und Verschieben von mehreren Dateien.\n"
                "Editieren und Erstellen von MP3-TAGs aus dem File-Namen.\n\n"
                " Freiwillige Spenden werden jedoch gerne entgegengenommen\n\n",
                0),
            0u);
  EXPECT_EQ(label("lblDisclaimer"),
            "Für durch dieses Tool verursachte Schäden an Dateien und Ordnern"
            " kann keine Haftung übernommen werden\n");
  EXPECT_FALSE(about->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
  EXPECT_EQ(MakeAboutTexts(1, 2, 30).version, "Version 1.2.30");

  auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isDefault());
  for (int key : {0, int{Qt::Key_Return}, int{Qt::Key_Escape}}) {
    QPointer<AboutWindow> window = windows_->OpenAbout();
    if (key == 0) {
      window->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    } else {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(window, &press);
    }
    Settle();
    EXPECT_TRUE(window.isNull()) << key;  // closed and discarded
  }
}

}  // namespace
}  // namespace velmora::testing
