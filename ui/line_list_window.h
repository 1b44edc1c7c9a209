// The frame shared by the help and history windows: a modeless top-level
// window holding one list `List1` of text lines that fills it, with a
// horizontal scroll bar wide enough for the longest line. Closing it
// discards it.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QListWidget;

namespace velmora {

class LineListWindow : public QWidget {
  Q_OBJECT

 public:
  // An empty window named name with caption as its title, 525 × 313 pixels
  // (7875 × 4695 twips) and centred on the screen.
  LineListWindow(const QString& name, const QString& caption);

  // Replaces the list's entries by lines, one entry each.
  void SetLines(const std::vector<std::string>& lines);

  [[nodiscard]] QListWidget* List1() const { return list1_; }

 private:
  QListWidget* list1_;
};

}  // namespace velmora
