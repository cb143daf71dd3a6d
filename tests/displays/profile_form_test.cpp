// The Profile window on its own: the layout, the scale table and its labels,
// the rows of heights, the trace and its scroll, the up-down and the reset.
#include "displays/profile_form.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "displays/auto_label.h"
#include "displays/plot_image.h"
#include "displays/profile_chart.h"
#include "displays/up_down.h"

namespace veltrano {
namespace {

constexpr int W = kProfileWidth;
constexpr int H = kProfileHeight;
constexpr int kRight = W - 1;
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kOlive = qRgb(128, 128, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The rows of column x that have the colour, top to bottom.
std::vector<int> rowsOf(const QImage& image, int x, QRgb colour) {
  std::vector<int> rows;
  for (int y = 0; y < image.height(); ++y)
    if (image.pixel(x, y) == colour) rows.push_back(y);
  return rows;
}

// The columns of row y that have the colour, left to right.
std::vector<int> columnsOf(const QImage& image, int y, QRgb colour) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    if (image.pixel(x, y) == colour) columns.push_back(x);
  return columns;
}

int countOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int x = 0; x < image.width(); ++x) count += int(rowsOf(image, x, colour).size());
  return count;
}

// Black with olive rows 16, 32 and 48 across the whole width.
void expectEmptyChart(const QImage& image) {
  ASSERT_EQ(image.size(), QSize(W, H));
  for (int x = 0; x < W; ++x) ASSERT_EQ(rowsOf(image, x, kOlive), (std::vector<int>{16, 32, 48})) << "column " << x;
  EXPECT_EQ(countOf(image, kOlive) + countOf(image, kBlack), W * H);
}

QToolButton* arrow(UpDown* upDown, Qt::ArrowType type) {
  for (QToolButton* button : upDown->findChildren<QToolButton*>())
    if (button->arrowType() == type) return button;
  return nullptr;
}

class ProfileFormTest : public ::testing::Test {
 protected:
  template <typename T>
  T* child(const char* name) {
    T* found = form.findChild<T*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE() << "no " << name;
    return found;
  }

  const QImage& shown() { return child<PlotImage>("AltImage")->picture(); }
  std::string plus() { return child<AutoLabel>("PlusLabel")->text().toStdString(); }
  std::string minus() { return child<AutoLabel>("MinusLabel")->text().toStdString(); }
  UpDown* upDown() { return child<UpDown>("maxAltUpDown"); }

  void showAt(int32_t position) {
    maxAltValue = position;
    form.hide();
    form.show();
  }

  // Adds a point and checks that the chart shown is the one drawn.
  void add(double delta) {
    form.addProfilePoint(delta);
    ASSERT_EQ(shown(), form.profileBitmap);
  }

  int32_t maxAltValue = 0;
  TProfileForm form{maxAltValue};
};

// ---- layout -------------------------------------------------------------------

TEST_F(ProfileFormTest, LayoutAndDesignTimeTexts) {
  EXPECT_EQ(form.objectName(), QStringLiteral("TProfileForm"));
  EXPECT_EQ(form.size(), QSize(848, 94));
  EXPECT_TRUE(form.isHidden());
  const auto* title = child<QLabel>("StaticText1");
  EXPECT_EQ(title->text(), QStringLiteral("PROFILE"));
  EXPECT_EQ(title->geometry(), QRect(2, 2, 843, 17));
  EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(title->palette().color(QPalette::Window), QColor(192, 192, 192));
  EXPECT_EQ(child<PlotImage>("AltImage")->geometry(), QRect(8, 21, 728, 65));
  EXPECT_EQ(upDown()->geometry(), QRect(748, 40, 16, 33));
  EXPECT_EQ(upDown()->position(), 0);
  EXPECT_EQ(upDown()->maximum(), 35);
  const QToolButton* up = arrow(upDown(), Qt::UpArrow);
  const QToolButton* down = arrow(upDown(), Qt::DownArrow);
  ASSERT_TRUE(up && down);
  EXPECT_LT(up->y(), down->y());

  struct LabelCase {
    const char* name;
    QPoint place;
    const char* text;
  };
  for (const LabelCase& c : {LabelCase{"PlusLabel", {740, 20}, "+ 0 m"}, LabelCase{"MinusLabel", {744, 80}, "- 0 m"}}) {
    SCOPED_TRACE(c.name);
    const auto* label = child<AutoLabel>(c.name);
    EXPECT_EQ(label->pos(), c.place);
    EXPECT_EQ(label->text().toStdString(), c.text);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().pixelSize(), 11);
  }
  // Until the window is first shown the chart is blank.
  EXPECT_EQ(countOf(shown(), kBlack), W * H);
}

TEST_F(ProfileFormTest, ChartSize) { EXPECT_EQ(form.profileBitmap.size(), QSize(728, 65)); }

// ---- scale table and labels -----------------------------------------------------

struct ScaleCase {
  int32_t maxAltValue;
  int position;
  float scale;
  const char* plus;
  const char* minus;
};

class ProfileScaleTest : public ProfileFormTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ProfileScaleTest, ShowingTakesTheStoredPosition) {
  const ScaleCase& c = GetParam();
  showAt(c.maxAltValue);
  EXPECT_EQ(upDown()->position(), c.position);
  EXPECT_EQ(form.profileScale, c.scale);
  EXPECT_EQ(profileScales[size_t(c.position)], c.scale);
  EXPECT_EQ(plus(), c.plus);
  EXPECT_EQ(minus(), c.minus);
  expectEmptyChart(shown());
}

INSTANTIATE_TEST_SUITE_P(
    Positions, ProfileScaleTest,
    ::testing::Values(ScaleCase{0, 0, 1, "+1 m", "-1 m"}, ScaleCase{4, 4, 5, "+5 m", "-5 m"},
                      ScaleCase{8, 8, 9, "+9 m", "-9 m"}, ScaleCase{9, 9, 10, "+10 m", "-10 m"},
                      ScaleCase{12, 12, 40, "+40 m", "-40 m"}, ScaleCase{17, 17, 90, "+90 m", "-90 m"},
                      ScaleCase{18, 18, 100, "+100 m", "-100 m"}, ScaleCase{26, 26, 900, "+900 m", "-900 m"},
                      ScaleCase{27, 27, 1000, "+1000 m", "-1000 m"}, ScaleCase{35, 35, 9000, "+9000 m", "-9000 m"},
                      // Stored positions beyond the range read as its ends.
                      ScaleCase{50, 35, 9000, "+9000 m", "-9000 m"}, ScaleCase{-3, 0, 1, "+1 m", "-1 m"}));

TEST(ProfileScales, FourDecadesOfNineSteps) {
  const std::array<float, 36> expected = {1,   2,   3,   4,    5,    6,    7,    8,    9,    10,   20,   30,
                                          40,  50,  60,  70,   80,   90,   100,  200,  300,  400,  500,  600,
                                          700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000};
  EXPECT_EQ(profileScales, expected);
}

// ---- rows of heights ---------------------------------------------------------------

struct RowCase {
  int position;
  double delta;
  std::optional<int> row;  // none: outside the chart
};

class ProfileRowTest : public ProfileFormTest, public ::testing::WithParamInterface<RowCase> {};

// The first point after a reset stands alone in the right-most column.
TEST_P(ProfileRowTest, FirstPointAfterReset) {
  const RowCase& c = GetParam();
  showAt(c.position);
  add(c.delta);
  std::vector<int> expected;
  if (c.row) expected.push_back(*c.row);
  EXPECT_EQ(rowsOf(shown(), kRight, kWhite), expected);
  EXPECT_EQ(countOf(shown(), kWhite), int(expected.size()));
  // The grid carries on into the new column wherever the point does not cover it.
  for (int row : {16, 32, 48}) EXPECT_EQ(shown().pixel(kRight, row), c.row == row ? kWhite : kOlive) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Heights, ProfileRowTest,
                         ::testing::Values(RowCase{0, -0.5, 16}, RowCase{0, 0.25, 40}, RowCase{0, 0, 32},
                                           RowCase{0, -1, 0}, RowCase{0, -2, std::nullopt}, RowCase{0, 1, 64},
                                           RowCase{0, 1.04, std::nullopt},
                                           // Truncated toward zero: -0.32 is row 0, 64.32 row 64.
                                           RowCase{0, -1.01, 0}, RowCase{0, 1.01, 64}, RowCase{0, 0.01, 32},
                                           RowCase{0, -0.01, 31}, RowCase{4, 2.5, 48}, RowCase{4, -5, 0},
                                           RowCase{9, -5, 16}, RowCase{35, -4500, 16}, RowCase{35, 9000, 64},
                                           RowCase{27, -1e12, std::nullopt}, RowCase{27, kInfinity, std::nullopt},
                                           RowCase{0, kNaN, std::nullopt}));

TEST(ProfileRow, FarRowsAreHeldOutsideTheChart) {
  struct Case {
    double delta;
    float scale;
    std::optional<int> row;
  };
  for (const Case& c : {Case{-2, 1, -32}, Case{2, 1, 96}, Case{1e300, 1, 584}, Case{-1e300, 1, -520},
                        Case{kInfinity, 1, 584}, Case{-kInfinity, 9000, -520}, Case{kNaN, 1, std::nullopt}}) {
    SCOPED_TRACE(c.delta);
    EXPECT_EQ(profileRow(c.delta, c.scale), c.row);
  }
}

// ---- the trace --------------------------------------------------------------------

struct SegmentCase {
  double from, to;  // deltas at 1 m
  int fromRow, toRow;
};

class ProfileSegmentTest : public ProfileFormTest, public ::testing::WithParamInterface<SegmentCase> {};

// Two points: the first moves one column left and a line joins it to the
// second, one pixel in each row between them, in the last two columns.
TEST_P(ProfileSegmentTest, JoinsThePreviousPoint) {
  const SegmentCase& c = GetParam();
  showAt(0);
  add(c.from);
  add(c.to);
  const int top = std::max(0, std::min(c.fromRow, c.toRow));
  const int bottom = std::min(H - 1, std::max(c.fromRow, c.toRow));
  const std::vector<int> left = rowsOf(shown(), kRight - 1, kWhite);
  const std::vector<int> right = rowsOf(shown(), kRight, kWhite);
  EXPECT_EQ(countOf(shown(), kWhite), int(left.size() + right.size()));
  if (c.fromRow >= 0 && c.fromRow < H) {
    EXPECT_EQ(shown().pixel(kRight - 1, c.fromRow), kWhite);
  }
  if (c.toRow >= 0 && c.toRow < H) {
    EXPECT_EQ(shown().pixel(kRight, c.toRow), kWhite);
  }
  for (int y = 0; y < H; ++y) {
    const int marks = int(std::count(left.begin(), left.end(), y) + std::count(right.begin(), right.end(), y));
    const bool between = y >= top && y <= bottom;
    // A level line has both of its pixels in the one row.
    const int expected = c.fromRow == c.toRow ? (y == c.fromRow ? 2 : 0) : (between ? 1 : 0);
    EXPECT_EQ(marks, expected) << "row " << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, ProfileSegmentTest,
                         ::testing::Values(SegmentCase{-0.5, 0.25, 16, 40}, SegmentCase{0.25, -0.5, 40, 16},
                                           SegmentCase{0, 0, 32, 32}, SegmentCase{-1, 1, 0, 64},
                                           SegmentCase{0.25, 1.1875, 40, 70}, SegmentCase{-2, -0.5, -32, 16},
                                           SegmentCase{-3, 3, -64, 128}));

TEST_F(ProfileFormTest, PointsScrollOneColumnEach) {
  showAt(0);
  const double deltas[] = {-0.5, 0.25, 0, -1, 1, -0.25};
  const int rows[] = {16, 40, 32, 0, 64, 24};
  for (double delta : deltas) add(delta);
  // The k-th newest point sits k columns left of the right edge.
  for (int k = 0; k < 6; ++k) EXPECT_EQ(shown().pixel(kRight - k, rows[5 - k]), kWhite) << "point " << k;
  const QImage before = shown();
  add(0.25);
  for (int x = 0; x + 1 < kRight; ++x)
    ASSERT_EQ(shown().copy(x, 0, 1, H), before.copy(x + 1, 0, 1, H)) << "column " << x;
}

TEST_F(ProfileFormTest, OldestPointLeavesAfterTheWidthOfTheChart) {
  showAt(0);
  add(-1);                                // row 0
  for (int i = 1; i < W; ++i) add(0.25);  // row 40
  // 728 points fill the 728 columns: the first is in the left-most one.
  EXPECT_EQ(shown().pixel(0, 0), kWhite);
  for (int x = 2; x < W; ++x) {
    ASSERT_EQ(rowsOf(shown(), x, kWhite), std::vector<int>{40}) << "column " << x;
    ASSERT_EQ(rowsOf(shown(), x, kOlive), (std::vector<int>{16, 32, 48})) << "column " << x;
  }
  add(0.25);
  EXPECT_TRUE(columnsOf(shown(), 0, kWhite).empty());
}

// A point just below the chart crosses the bottom row in the right-most
// column; the next scroll must not leave that pixel behind to streak along
// the bottom row.
TEST_F(ProfileFormTest, NewColumnIsClearedToTheBottomRow) {
  showAt(0);
  add(0.25);    // row 40
  add(1.1875);  // row 70, outside
  EXPECT_EQ(columnsOf(shown(), H - 1, kWhite), std::vector<int>{kRight});
  for (int i = 1; i <= 20; ++i) {
    add(0.25);
    EXPECT_EQ(columnsOf(shown(), H - 1, kWhite), std::vector<int>{kRight - i}) << "after " << i;
  }
}

// A height that is not a number leaves its column empty; the trace goes on
// from the next point.
TEST_F(ProfileFormTest, HeightThatIsNotANumberBreaksTheTrace) {
  showAt(0);
  add(-0.5);  // row 16
  add(kNaN);
  EXPECT_TRUE(rowsOf(shown(), kRight, kWhite).empty());
  add(0.25);  // row 40
  EXPECT_EQ(rowsOf(shown(), kRight, kWhite), std::vector<int>{40});
  EXPECT_TRUE(rowsOf(shown(), kRight - 1, kWhite).empty());
  EXPECT_EQ(rowsOf(shown(), kRight - 2, kWhite), std::vector<int>{16});
}

// ---- held drawing --------------------------------------------------------------------

struct HeldCase {
  const char* name;
  int before;  // points drawn one by one first
  int held;    // points then added while the drawing is held
};

class ProfileHeldTest : public ProfileFormTest, public ::testing::WithParamInterface<HeldCase> {};

// Points taken while the drawing is held scroll the chart and join each other
// in one go exactly as they would have one by one: gaps, rows outside the
// chart, a trace joined across the held run, and runs longer than the chart.
TEST_P(ProfileHeldTest, HeldPointsDrawTheSameChartAsPointsDrawnOneByOne) {
  const HeldCase& c = GetParam();
  const auto delta = [](int i) { return i % 17 == 5 ? kNaN : 1.3 * std::sin(i * 0.37) + (i % 29 == 3 ? 40 : 0); };
  int32_t position = 0;
  TProfileForm oneByOne(position);
  oneByOne.show();
  showAt(0);
  for (int i = 0; i < c.before + c.held; ++i) oneByOne.addProfilePoint(delta(i));
  for (int i = 0; i < c.before; ++i) form.addProfilePoint(delta(i));
  form.holdDrawing();
  const QImage before = shown();
  for (int i = c.before; i < c.before + c.held; ++i) form.addProfilePoint(delta(i));
  EXPECT_EQ(shown(), before);
  form.releaseDrawing();
  EXPECT_EQ(shown(), oneByOne.findChild<PlotImage*>(QStringLiteral("AltImage"))->picture());
  EXPECT_EQ(shown(), form.profileBitmap);
  // Drawn at once again after the release.
  oneByOne.addProfilePoint(0.5);
  form.addProfilePoint(0.5);
  EXPECT_EQ(shown(), oneByOne.findChild<PlotImage*>(QStringLiteral("AltImage"))->picture());
}

INSTANTIATE_TEST_SUITE_P(Runs, ProfileHeldTest,
                         ::testing::Values(HeldCase{"FewAfterOne", 1, 3}, HeldCase{"FirstPoints", 0, 5},
                                           HeldCase{"OneColumnShort", 40, W - 1}, HeldCase{"WholeWidth", 40, W},
                                           HeldCase{"LongerThanTheChart", 40, 2 * W + 13},
                                           HeldCase{"AfterAFullChart", W + 5, 30}, HeldCase{"Nothing", 10, 0}),
                         [](const ::testing::TestParamInfo<HeldCase>& info) { return std::string(info.param.name); });

// ---- reset ---------------------------------------------------------------------------

TEST_F(ProfileFormTest, ResetEmptiesTheChartAndStartsANewTrace) {
  showAt(4);
  for (double delta : {-5.0, 2.5, 1.0, -1.0}) add(delta);
  ASSERT_GT(countOf(shown(), kWhite), 0);
  form.resetProfile();
  expectEmptyChart(shown());
  EXPECT_EQ(form.profileBitmap, shown());
  EXPECT_EQ(plus(), "+5 m");
  EXPECT_EQ(minus(), "-5 m");
  add(0);  // row 32, not joined to the point before the reset
  EXPECT_EQ(countOf(shown(), kWhite), 1);
  EXPECT_EQ(shown().pixel(kRight, 32), kWhite);
}

TEST_F(ProfileFormTest, ShowingAgainTakesTheStoredPositionAndEmptiesTheChart) {
  showAt(4);
  add(-5);
  form.hide();
  maxAltValue = 12;
  form.show();
  EXPECT_EQ(form.profileScale, 40.0f);
  EXPECT_EQ(plus(), "+40 m");
  expectEmptyChart(shown());
}

// ---- the up-down ------------------------------------------------------------------------

struct ClickCase {
  int from;
  bool up;
  int to;
  float scale;
  const char* plus;
  bool erased;  // the chart emptied by the new scale
};

class ProfileUpDownTest : public ProfileFormTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ProfileUpDownTest, EachClickMovesTwoSteps) {
  const ClickCase& c = GetParam();
  showAt(c.from);
  add(0.0);
  add(0.0);
  const QImage before = shown();
  QToolButton* button = arrow(upDown(), c.up ? Qt::UpArrow : Qt::DownArrow);
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_EQ(upDown()->position(), c.to);
  EXPECT_EQ(maxAltValue, c.to);
  EXPECT_EQ(form.profileScale, c.scale);
  EXPECT_EQ(plus(), c.plus);
  EXPECT_EQ(minus(), "-" + std::string(c.plus + 1));
  if (c.erased) {
    expectEmptyChart(shown());
  } else {
    EXPECT_EQ(shown(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ProfileUpDownTest,
    ::testing::Values(ClickCase{0, true, 2, 3, "+3 m", true}, ClickCase{2, true, 4, 5, "+5 m", true},
                      ClickCase{8, true, 10, 20, "+20 m", true}, ClickCase{34, true, 35, 9000, "+9000 m", true},
                      ClickCase{35, true, 35, 9000, "+9000 m", false}, ClickCase{10, false, 8, 9, "+9 m", true},
                      ClickCase{1, false, 0, 1, "+1 m", true}, ClickCase{0, false, 0, 1, "+1 m", false}));

TEST_F(ProfileFormTest, ClicksClimbTheWholeTable) {
  showAt(0);
  QToolButton* up = arrow(upDown(), Qt::UpArrow);
  ASSERT_NE(up, nullptr);
  std::vector<int> positions;
  for (int i = 0; i < 19; ++i) {
    up->click();
    positions.push_back(upDown()->position());
  }
  const std::vector<int> expected = {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 35, 35};
  EXPECT_EQ(positions, expected);
  EXPECT_EQ(maxAltValue, 35);
}

}  // namespace
}  // namespace veltrano
