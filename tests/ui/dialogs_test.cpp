// The two question dialogs as the user sees them: captions, the
// 73-character views of a long path, and the answer of each button and of
// closing without one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "tests/ui/modal_answerer.h"
#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"

namespace velmora {
namespace {

using testing::ModalAnswerer;

QString FieldText(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(QLatin1String(name))->text();
}

TEST(DialogTest, LongPathsShowTheirLeftOrRightEnd) {
  const std::string longSrc = "/" + std::string(60, 'q') + "/quelle-" + std::string(20, 'x') + ".txt";
  const std::string dest70 = "/" + std::string(65, 'z') + ".txt";  // exactly 70 characters
  ASSERT_EQ(dest70.size(), 70u);
  Dialog dialog(longSrc, dest70, {}, nullptr);
  // No mode flag set (runs show "Umbenennen", "Kopieren", "Verschieben").
  EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), "Umbenennen :");
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sind Sie sicher ??"));

  const QString right = FieldText(&dialog, "TxtFrom");
  EXPECT_EQ(right.size(), 73);
  EXPECT_EQ(right, "..." + QString::fromStdString(longSrc.substr(longSrc.size() - 70)));
  EXPECT_EQ(FieldText(&dialog, "TxtTo"), QString::fromStdString(dest70));
  EXPECT_TRUE(dialog.findChild<QRadioButton*>("OptRight")->isChecked());

  dialog.findChild<QRadioButton*>("OptLeft")->click();
  EXPECT_EQ(FieldText(&dialog, "TxtFrom"), QString::fromStdString(longSrc.substr(0, 70)) + "...");
  EXPECT_EQ(FieldText(&dialog, "TxtTo"), QString::fromStdString(dest70));
  dialog.findChild<QRadioButton*>("OptRight")->click();
  EXPECT_EQ(FieldText(&dialog, "TxtFrom"), right);
}

TEST(DialogTest, NoButtonIsTheDefault) {
  Dialog dialog("/a", "/b", {}, nullptr);
  Dialog2 dialog2("/b", nullptr);
  for (QDialog* d : {static_cast<QDialog*>(&dialog), static_cast<QDialog*>(&dialog2)}) {
    for (QPushButton* button : d->findChildren<QPushButton*>()) {
      EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
      EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
  }
}

TEST(DialogTest, EachButtonAndEachWayOfClosingGivesItsAnswer) {
  struct Row {
    QString button;
    int dialogAnswer;
  };
  const Row rows[] = {{"&Ja", 1},
                      {"&Nein", 2},
                      {"&Alle", 3},
                      {"&Abbrechen", 4},
                      {ModalAnswerer::kClose, kAnswerClosed},
                      {ModalAnswerer::kEscape, kAnswerClosed}};
  for (const Row& row : rows) {
    ModalAnswerer answers;
    answers.Then("Dialog", row.button);
    EXPECT_EQ(Dialog::Ask("/a", "/b", {true, false, false}, nullptr), row.dialogAnswer)
        << row.button.toStdString();
    EXPECT_TRUE(answers.AllAnswered());
  }
}

TEST(Dialog2Test, ShowsTheTargetAndGivesItsAnswers) {
  const std::string target = "/ziel/" + std::string(80, 'n') + ".mp3";
  struct Row {
    QString button;
    int answer;
  };
  const Row rows[] = {{"&Ja", 1},
                      {"&Alle", 3},
                      {"&Abbrechen", 4},
                      {ModalAnswerer::kClose, kAnswerClosed},
                      {ModalAnswerer::kEscape, kAnswerClosed}};
  for (const Row& row : rows) {
    ModalAnswerer answers;
    QString shown;
    answers.Then("Dialog2", row.button, [&](QWidget* w) {
      shown = FieldText(w, "TxtTo");
      EXPECT_EQ(w->windowTitle(), QStringLiteral("Löschen ???"));
      EXPECT_EQ(w->findChild<QLabel*>("Label1_0")->text(), QStringLiteral("Die Zieldatei existiert bereits"));
      EXPECT_EQ(w->findChild<QLabel*>("Label1_1")->text(), QStringLiteral("Datei löschen ?"));
      EXPECT_EQ(w->findChild<QPushButton*>("CmdNo"), nullptr);
    });
    EXPECT_EQ(Dialog2::Ask(target, nullptr), row.answer) << row.button.toStdString();
    EXPECT_EQ(shown, "..." + QString::fromStdString(target.substr(target.size() - 70)));
  }
}

}  // namespace
}  // namespace velmora
