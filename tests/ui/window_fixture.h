// A main window over temporary folders: its own settings file, mount table,
// program folder (for the log) and a tree to search, with helpers that work
// the controls as a user would.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "services/translation.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_answerer.h"
#include "ui/folder_list.h"
#include "ui/main_window.h"
#include "ui/preview_panel.h"
#include "ui/search_panel.h"

namespace velmora::testing {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    std::filesystem::create_directories(AppFolder());
    std::filesystem::create_directories(Tree());
    WriteFile(temp_ / "mounts", "/dev/root / ext4 rw 0 0\n");
    environment_.appPath = AppFolder();
    environment_.settingsFile = temp_ / "settings.ini";
    environment_.mountTable = temp_ / "mounts";
    environment_.workingFolder = temp_.path();
    // The window's undo journal and folder entry live in the test's folder.
    ::setenv("XDG_STATE_HOME", (temp_ / "state").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (temp_ / "xdg").c_str(), 1);
  }
  void TearDown() override {
    window_.reset();
    UseLanguage(Language::kGerman, VELMORA_BIN_DIR);  // whatever the test loaded
  }
  void English() { ASSERT_TRUE(UseLanguage(Language::kEnglish, VELMORA_BIN_DIR)); }

  // Creates, loads and shows the window.
  Main& Start(const std::string& commandLine = "") {
    environment_.commandLine = commandLine;
    window_ = std::make_unique<Main>(environment_);
    window_->Form_Load();
    window_->show();
    return *window_;
  }

  [[nodiscard]] std::string AppFolder() const { return temp_ / "app"; }
  // The tree to search, without a trailing separator (as the folder list has it).
  [[nodiscard]] std::string Tree() const { return temp_ / "tree"; }
  [[nodiscard]] std::string InTree(const std::string& name) const { return Tree() + "/" + name; }

  template <typename T>
  T* Find(const char* name) const {
    T* widget = window_->findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // The caption or content of a label, button, field or chooser.
  [[nodiscard]] QString Text(const char* name) const {
    QWidget* widget = Find<QWidget>(name);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    return widget != nullptr ? widget->property("text").toString() : QString();
  }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  // A real mouse click, as the window system delivers it, through the
  // window's input filter.
  static void MouseClick(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier);
      QApplication::sendEvent(widget, &event);
    }
  }

  // Opens folder in the folder list, as a double click does.
  void OpenFolder(const std::string& folder) {
    ASSERT_TRUE(window_->findChild<SearchPanel*>()->dirList()->SetPath(folder)) << folder;
  }

  // Searches folder with pattern; the list must be in its ready state.
  void Search(const std::string& folder, const QString& pattern = "*.*", bool subFolders = false) {
    OpenFolder(folder);
    Find<QLineEdit>("txtSearchSpec")->setText(pattern);
    if (subFolders) Click("OptSubdirs");
    ASSERT_NE(Text("cmdSearch"), "&Reset");  // the same in English
    Click("cmdSearch");
    ASSERT_EQ(Text("cmdSearch"), "&Reset");
  }

  // Picks entry code from slot's chooser as a user would, and fills its fields.
  void ChooseOperation(int slot, int code, const QString& first = {}, const QString& second = {}) {
    const std::string index = std::to_string(slot);
    auto* combo = Find<QComboBox>(("Auswahl_" + index).c_str());
    combo->setCurrentIndex(code);
    emit combo->activated(code);
    Find<QLineEdit>(("TxtSource_" + index).c_str())->setText(first);
    Find<QLineEdit>(("TxtDestination_" + index).c_str())->setText(second);
  }

  // Searches folder (the tree when empty), marks everything and sets slot 1.
  void Prepare(int code, const QString& first, const QString& second = {},
               const std::string& folder = "") {
    Search(folder.empty() ? Tree() : folder);
    MarkAll();
    ChooseOperation(0, code, first, second);
  }

  // Searches folder (the tree when empty) for pattern and opens the tag
  // panel on the first entry.
  void OpenTagPanel(const QString& pattern, const std::string& folder = "") {
    Search(folder.empty() ? Tree() : folder, pattern);
    MarkRow(0);
    Click("CmdTagEdit");
  }

  // Lets the window's events run until the preview has worked out the last
  // change (or two seconds passed).
  void Settle() {
    auto* panel = Find<PreviewPanel>("FramePreview");
    QElapsedTimer waited;
    waited.start();
    QApplication::processEvents();
    while (panel->Pending() && waited.elapsed() < 2000) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }
  // The rows of a list, by default the preview column's, or their tool tips.
  [[nodiscard]] QStringList Column(int role = Qt::DisplayRole,
                                   const char* list = "lstNewNames") const {
    QStringList rows;
    QAbstractItemModel* model = window_->findChild<QListView*>(list)->model();
    for (int row = 0; row < model->rowCount(); ++row)
      rows << model->index(row, 0).data(role).toString();
    return rows;
  }
  static QString MessageText(QWidget* box) { return static_cast<QMessageBox*>(box)->text(); }

  // The found list's entries, in list order.
  [[nodiscard]] std::vector<std::string> FoundPaths() const {
    std::vector<std::string> paths;
    for (const QString& row : Column(Qt::DisplayRole, "lstFoundFiles")) {
      paths.push_back(row.toStdString());
    }
    return paths;
  }

  void MarkAll() { Click("CmdSelectAll"); }
  // Adds row to the marks, as a control-click into the list does.
  void MarkRow(int row) {
    auto* list = Find<QListView>("lstFoundFiles");
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
  }
  void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
  // Triggers the action, or clicks the button, of that name with the modal
  // windows it opens answered by steps; true when every step was used, each
  // on the window and button it names.
  bool Answered(const char* name, std::initializer_list<ModalAnswerer::Step> steps) {
    ModalAnswerer answers(steps);
    if (auto* action = window_->findChild<QAction*>(QLatin1String(name))) {
      action->trigger();
    } else {
      Click(name);
    }
    const std::vector<std::string>& log = answers.log();
    return answers.AllAnswered() && std::none_of(log.begin(), log.end(), [](const std::string& e) {
             return e.ends_with("<no such button>");
           });
  }

  TempFolder temp_;
  MainEnvironment environment_;
  std::unique_ptr<Main> window_;
};

}  // namespace velmora::testing
