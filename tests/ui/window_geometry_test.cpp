#include "ui/window_geometry.h"

#include <QScreen>
#include <QSplitter>

#include "tests/ui/window_fixture.h"

namespace velmora::testing {
namespace {

TEST(WindowGeometry, PlacedInsideAScreen) {
  const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
  struct Row {
    const char* name;
    QRect stored;
    QRect expected;
  };
  const Row rows[] = {
      {"inside stays", {100, 50, 800, 600}, {100, 50, 800, 600}},
      {"on the right screen stays", {2000, 100, 800, 600}, {2000, 100, 800, 600}},
      {"off to the left moves in", {-500, 100, 800, 600}, {0, 100, 800, 600}},
      {"below moves up", {100, 900, 800, 600}, {100, 480, 800, 600}},
      {"screen gone: onto the first", {5000, 3000, 800, 600}, {1120, 480, 800, 600}},
      {"too large shrinks", {1900, 0, 2000, 2000}, {1920, 0, 1280, 1024}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PlaceInside(row.stored, {left, right}), row.expected) << row.name;
  }
}

TEST(WindowGeometry, TextsBothWays) {
  EXPECT_EQ(GeometryFromText(GeometryText({-10, 20, 800, 600})), QRect(-10, 20, 800, 600));
  EXPECT_FALSE(GeometryFromText("1,2,3"));
  EXPECT_FALSE(GeometryFromText("1,2,0,5"));
  EXPECT_FALSE(GeometryFromText("a,b,c,d"));
  EXPECT_EQ(SizesFromText(SizesText({290, 400, 310})), QList<int>({290, 400, 310}));
  EXPECT_TRUE(SizesFromText("1,-2").isEmpty());
}

using WindowGeometryTest = WindowTest;

TEST_F(WindowGeometryTest, SizePositionAndSplitterComeBack) {
  Start();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect wanted(screen.x() + 30, screen.y() + 40, screen.width() - 60, screen.height() - 80);
  window_->setGeometry(wanted);
  auto* splitter = Find<QSplitter>("splitter");
  splitter->setSizes({250, 200, 250});
  const QList<int> sizes = splitter->sizes();
  window_->SaveWindowGeometry();
  window_.reset();

  Start();
  EXPECT_EQ(window_->geometry(), wanted);
  EXPECT_EQ(Find<QSplitter>("splitter")->sizes(), sizes);
}

}  // namespace
}  // namespace velmora::testing
