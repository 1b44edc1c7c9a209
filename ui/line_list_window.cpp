#include "ui/line_list_window.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/app_icon.h"

namespace velmora {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 7875 / kTwipsPerPixel;
constexpr int kClientHeight = 4695 / kTwipsPerPixel;

}  // namespace

LineListWindow::LineListWindow(const QString& name, const QString& caption) {
  setObjectName(name);
  setWindowTitle(caption);
  setWindowIcon(VelmoraIcon());
  setAttribute(Qt::WA_DeleteOnClose);

  list1_ = new QListWidget(this);
  list1_->setObjectName(QStringLiteral("List1"));
  // Whole lines, one per entry: the scroll bar follows the widest line.
  list1_->setWordWrap(false);
  list1_->setTextElideMode(Qt::ElideNone);
  list1_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list1_);

  resize(kClientWidth, kClientHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void LineListWindow::SetLines(const std::vector<std::string>& lines) {
  list1_->clear();
  QStringList entries;
  entries.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) entries << QString::fromStdString(line);
  list1_->addItems(entries);
}

}  // namespace velmora
