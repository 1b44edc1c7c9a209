// The windows outside the main window: the two question dialogs (the answer
// of each button and of closing without one, and no default button for Enter
// to press), and the help and About windows as the menu opens them (the
// missing help file and the history: the menu test in tag_window_test.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <string>

#include "tests/support/temp_folder.h"
#include "tests/ui/modal_answerer.h"
#include "ui/info_windows.h"
#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"

namespace velmora::testing {
namespace {

TEST(DialogTest, NoButtonIsTheDefault) {
  Dialog dialog("/a", "/b", {}, nullptr);
  Dialog2 dialog2("/b", nullptr);
  for (QDialog* d : {static_cast<QDialog*>(&dialog), static_cast<QDialog*>(&dialog2)}) {
    for (QPushButton* button : d->findChildren<QPushButton*>()) {
      EXPECT_FALSE(button->isDefault() || button->autoDefault())
          << button->objectName().toStdString();
    }
  }
}

// Closing by the frame or Escape is its own answer, which the run treats as
// "&Abbrechen"; Dialog2 has no "&Nein".
TEST(DialogTest, EachButtonAndEachWayOfClosingGivesItsAnswer) {
  struct Row {
    const char* window;
    QString button;
    Answer answer;
  };
  const Row rows[] = {
      {"Dialog", "&Ja", Answer::kYes},
      {"Dialog", "&Nein", Answer::kNo},
      {"Dialog", "&Alle", Answer::kAll},
      {"Dialog", "&Abbrechen", Answer::kCancel},
      {"Dialog", ModalAnswerer::kClose, Answer::kClosed},
      {"Dialog", ModalAnswerer::kEscape, Answer::kClosed},
      {"Dialog2", "&Ja", Answer::kYes},
      {"Dialog2", "&Alle", Answer::kAll},
      {"Dialog2", "&Abbrechen", Answer::kCancel},
      {"Dialog2", "&Nein", Answer::kClosed},  // no such button: closed instead
      {"Dialog2", ModalAnswerer::kEscape, Answer::kClosed},
  };
  const std::string target = "/ziel/" + std::string(80, 'n') + ".mp3";
  for (const Row& row : rows) {
    const std::string what = std::string(row.window) + " " + row.button.toStdString();
    QString title, shown;
    ModalAnswerer answers{{row.window, row.button, [&](QWidget* w) {
                             title = w->windowTitle();
                             shown = w->findChild<QLineEdit*>(QStringLiteral("TxtTo"))->text();
                           }}};
    const bool first = std::string(row.window) == "Dialog";
    const Answer answer = first ? Dialog::Ask("/a", target, RunKind::kRename, nullptr)
                                : Dialog2::Ask(target, nullptr);
    EXPECT_EQ(answer, row.answer) << what;
    EXPECT_EQ(title, first ? "Sind Sie sicher ??" : "Löschen ???") << what;
    EXPECT_EQ(shown, "..." + QString::fromStdString(target.substr(target.size() - 70))) << what;
  }
}

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

  TempFolder temp_;
  std::unique_ptr<InfoWindows> windows_ = std::make_unique<InfoWindows>(temp_.path());
};

TEST_F(InfoWindowsTest, HelpShowsTheFileLineByLineAndScrollsToItsLongestLine) {
  const std::string longLine = "Lange Zeile:" + std::string(300, 'x');
  WriteFile(temp_ / "Hilfe.txt", "Velmora-Hilfe\r\n\r\n\tSuche\r\n" + longLine + "\r\n");
  ModalAnswerer none;  // a found file brings no message
  HelpWindow* help = windows_->OpenHelp();
  Settle();
  EXPECT_TRUE(none.log().empty());
  EXPECT_EQ(Entries(help->List1()),
            (std::vector<std::string>{"Velmora-Hilfe", "", "\tSuche", longLine}));
  QScrollBar* bar = help->List1()->horizontalScrollBar();
  EXPECT_GE(bar->maximum() + help->List1()->viewport()->width(),
            help->List1()->fontMetrics().horizontalAdvance(QString::fromStdString(longLine)));
}

TEST_F(InfoWindowsTest, AboutShowsTheVersionAndClosesOnOkEnterAndEscape) {
  AboutWindow* about = windows_->OpenAbout();
  EXPECT_EQ(about->windowTitle(), "About Velmora");
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))
                  .match(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text())
                  .hasMatch());

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
