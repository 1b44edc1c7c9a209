// The help and About windows as the menu opens them (the missing help file
// and the history: the menu test in tag_window_test.cpp).
#include "ui/info_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

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
