// The two question dialogs: the answer of each button and of closing without
// one, and no default button for Enter to press.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "tests/ui/modal_answerer.h"
#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"

namespace velmora::testing {
namespace {

// Closing by the frame or Escape is its own answer, which the run treats as
// "&Abbrechen"; Dialog2 has no "&Nein". No button is a default for Enter.
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
                             for (QPushButton* button : w->findChildren<QPushButton*>()) {
                               EXPECT_FALSE(button->isDefault() || button->autoDefault());
                             }
                           }}};
    const bool first = std::string(row.window) == "Dialog";
    const Answer answer = first ? Dialog::Ask("/a", target, RunKind::kRename, nullptr)
                                : Dialog2::Ask(target, nullptr);
    EXPECT_EQ(answer, row.answer) << what;
    EXPECT_EQ(title, first ? "Sind Sie sicher ??" : "Löschen ???") << what;
    EXPECT_EQ(shown, "..." + QString::fromStdString(target.substr(target.size() - 70))) << what;
  }
}

}  // namespace
}  // namespace velmora::testing
