// The S/N ratio window's chart, pixel for pixel: the empty chart, the bars
// with their colours, values and labels, the 32 columns, empty entries, and
// when the chart is shown and cleared.
#include "displays/snr_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <string>
#include <vector>

#include "displays/picture_box.h"
#include "displays/tool_form.h"

namespace veltrano {
namespace {

constexpr int kWidth = 813;
constexpr int kHeight = 65;
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 128, 0);
constexpr QRgb kOrange = qRgb(255, 127, 0);
constexpr QRgb kPurple = qRgb(127, 0, 127);

// The axis (x = 5 down to the base line at y = 50) and the grid lines at
// y = 12, 25 and 37 (40, 30 and 20 dB-Hz), each from x = 5 to the right edge.
bool onAxisOrGrid(int x, int y) {
  if (x == 5 && y < 50) return true;
  return x >= 5 && (y == 12 || y == 25 || y == 37 || y == 50);
}

// Where two pictures first differ, or "" when they are the same.
std::string firstDifference(const QImage& shown, const QImage& expected) {
  if (shown.size() != expected.size()) return "the sizes differ";
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixel(x, y) != expected.pixel(x, y))
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
               QColor(shown.pixel(x, y)).name().toStdString() + ", expected " +
               QColor(expected.pixel(x, y)).name().toStdString();
  return "";
}

class SnrChart : public ::testing::Test {
 protected:
  QRgb face() const { return form.palette().color(QPalette::Window).rgb(); }
  const QImage& chart() const { return form.chart(); }
  const QImage& shown() const { return form.findChild<PictureBox*>(QStringLiteral("SNRImage"))->picture(); }

  // The empty chart, as it should look.
  QImage emptyChart() const {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) image.setPixel(x, y, onAxisOrGrid(x, y) ? kBlack : face());
    return image;
  }
  // The pixels from (left, top) to (right, bottom), both included and cut at the edges, in `colour`.
  static void fillBox(QImage& image, int left, int top, int right, int bottom, QRgb colour) {
    for (int y = std::max(top, 0); y <= std::min(bottom, kHeight - 1); ++y)
      for (int x = std::max(left, 0); x <= std::min(right, kWidth - 1); ++x) image.setPixel(x, y, colour);
  }
  // `text` in the chart's 11-pixel font, aliased, its character cell's top-left corner at (x, y) on `paper`.
  static void putText(QImage& image, int x, int y, const QString& text, bool bold, QRgb ink, QRgb paper) {
    QFont font = smallFont(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    QImage cell(metrics.horizontalAdvance(text), metrics.height(), QImage::Format_RGB32);
    cell.fill(paper);
    {
      QPainter p(&cell);
      p.setFont(font);
      p.setPen(QColor(ink));
      p.drawText(0, metrics.ascent(), text);
    }
    int inked = 0;
    for (int cy = 0; cy < cell.height(); ++cy)
      for (int cx = 0; cx < cell.width(); ++cx) {
        inked += cell.pixel(cx, cy) == ink;
        if (x + cx < kWidth && y + cy < kHeight) image.setPixel(x + cx, y + cy, cell.pixel(cx, cy));
      }
    ASSERT_GT(inked, 3) << text.toStdString();
  }
  // One bar in column `column` as it should look: the bar from (x0 + 15, top)
  // to (x0 + 34, 49) (none when top is above 50, nothing of it when it is 50),
  // the value's cell at (x0 + 18, 37), the label's at (x0 + 16, 53).
  void expectBar(QImage& image, int column, int top, const char* value, QRgb colour, const char* label) const {
    const int x0 = 25 * column;
    if (top <= 50) fillBox(image, x0 + 15, top, x0 + 34, 49, colour);
    if (value) putText(image, x0 + 18, 37, QString::fromLatin1(value), false, kWhite, colour);
    putText(image, x0 + 16, 53, QString::fromLatin1(label), true, kBlack, face());
  }

  void redraw(const std::vector<SatelliteInView>& satellites) { form.redrawSnrChart(satellites); }

  TSNRForm form;
};

TEST_F(SnrChart, ControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(form.size(), QSize(848, 94));
  EXPECT_EQ(form.findChild<PictureBox*>(QStringLiteral("SNRImage"))->geometry(), QRect(32, 24, 813, 65));
  struct Case {
    const char* name;
    const char* text;
    QPoint at;
  } cases[] = {{"Label1", "40 dB", {4, 29}}, {"Label2", "20 dB", {4, 55}}};
  for (const Case& c : cases) {
    auto* label = form.findChild<QLabel*>(QString::fromLatin1(c.name));
    ASSERT_NE(label, nullptr) << c.name;
    EXPECT_EQ(label->text(), QString::fromLatin1(c.text));
    EXPECT_EQ(label->pos(), c.at) << c.name;
    EXPECT_FALSE(label->font().bold()) << c.name;
  }
  // Each label is level with its grid line: 40 dB at y = 24 + 12, 20 dB at y = 24 + 37.
  for (auto [name, gridY] : {std::pair{"Label1", 36}, {"Label2", 61}}) {
    const QRect place = form.findChild<QLabel*>(QString::fromLatin1(name))->geometry();
    EXPECT_LE(place.top(), gridY) << name;
    EXPECT_GE(place.bottom(), gridY) << name;
  }
}

TEST_F(SnrChart, ClearDrawsTheAxisAndGridLinesAndShowsThem) {
  form.clearSnrChart();
  EXPECT_EQ(firstDifference(chart(), emptyChart()), "");
  EXPECT_EQ(firstDifference(shown(), emptyChart()), "");
}

TEST_F(SnrChart, OneBarByItsRatio) {
  struct Case {
    uint8_t snr;
    int top;            // the bar's top row; 50: a bar of no height; 99: no bar
    const char* value;  // nullptr: no value
  } cases[] = {
      {45, 7, "45"},     // 35 x 50 / 40 = 43.75: 43 pixels
      {30, 25, "30"},    // over the 30 dB grid line
      {11, 49, "11"},    // 50 / 40: one pixel
      {10, 50, "10"},    // no bar, but the value on a blue box
      {9, 99, nullptr},  // the label alone
      {0, 99, nullptr},  // none at 0 either
      {50, 0, "50"},     // up to the top edge
      {60, -12, "60"},   // cut at the top edge
      {255, -256, "255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.snr));
    redraw({{kSatGps, 5, c.snr}});
    QImage expected = emptyChart();
    expectBar(expected, 0, c.top, c.value, kBlue, "5");
    EXPECT_EQ(firstDifference(chart(), expected), "");
    EXPECT_EQ(firstDifference(shown(), expected), "");
  }
}

TEST_F(SnrChart, ColourAndLabelBySystem) {
  struct Case {
    uint8_t system, number;
    QRgb colour;  // 0: the face colour
    const char* label;
  } cases[] = {
      {kSatGps, 5, kBlue, "5"},
      {kSatGlonass, 24, kRed, "24"},
      {kSatSbas, 124, kGreen, "124"},
      {kSatGalileo, 51, kOrange, "GA"},
      {kSatGalileo, 52, kOrange, "GB"},
      {kSatGalileo, 53, kOrange, "53"},
      {kSatBeidou, 37, kPurple, "37"},
      {kSatGpsBeyond, 3, kGreen, "Q3"},
      {kSatGps, 51, kBlue, "51"},
      {3, 7, 0, "7"},
      {200, 88, 0, "88"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.system) + "/" + std::to_string(c.number));
    redraw({{c.system, c.number, 45}});
    QImage expected = emptyChart();
    // A system without a colour: the bar is the face colour, its value and label show.
    expectBar(expected, 0, 7, "45", c.colour ? c.colour : face(), c.label);
    EXPECT_EQ(firstDifference(chart(), expected), "");
  }
}

TEST_F(SnrChart, ThirtyTwoColumnsAndNoMore) {
  const QRgb colours[] = {kBlue, kRed, kGreen, kOrange, kPurple};
  const uint8_t systems[] = {kSatGps, kSatGlonass, kSatSbas, kSatGalileo, kSatBeidou};
  std::vector<SatelliteInView> forty;
  for (int i = 0; i < 40; ++i) forty.push_back({systems[i % 5], uint8_t(i + 1), uint8_t(12 + i)});
  redraw(forty);
  QImage expected = emptyChart();
  for (int i = 0; i < 32; ++i) {
    const int top = 50 - (2 + i) * 50 / 40;
    expectBar(expected, i, top, std::to_string(12 + i).c_str(), colours[i % 5], std::to_string(i + 1).c_str());
  }
  EXPECT_EQ(firstDifference(chart(), expected), "");
  // The last bar spans x = 790 to 809; right of it only the axis lines.
  EXPECT_EQ(chart().pixel(809, 49), colours[31 % 5]);
  for (int x = 810; x < kWidth; ++x)
    for (int y = 0; y < kHeight; ++y)
      ASSERT_EQ(chart().pixel(x, y), onAxisOrGrid(x, y) ? kBlack : face()) << x << "," << y;
}

TEST_F(SnrChart, EmptyEntriesLeaveNoGap) {
  const SatelliteInView empty{kSatNone, 9, 45};
  redraw({empty, {kSatGps, 5, 45}, empty, empty, {kSatGlonass, 7, 30}, empty});
  QImage expected = emptyChart();
  expectBar(expected, 0, 7, "45", kBlue, "5");
  expectBar(expected, 1, 25, "30", kRed, "7");
  EXPECT_EQ(firstDifference(chart(), expected), "");

  // Empty entries take no column among the 32 either.
  std::vector<SatelliteInView> table(10, empty);
  for (int i = 0; i < 32; ++i) table.push_back({kSatGps, uint8_t(i + 1), 20});
  redraw(table);
  EXPECT_EQ(chart().pixel(25 * 31 + 15, 49), kBlue);

  redraw({empty, empty});
  EXPECT_EQ(firstDifference(chart(), emptyChart()), "");
  redraw({});
  EXPECT_EQ(firstDifference(chart(), emptyChart()), "");
}

TEST_F(SnrChart, ABarIsDrawnOffScreenAndShownByTheRedraw) {
  form.clearSnrChart();
  form.drawSnrBar(2, 45, kSatGlonass, 7);
  QImage expected = emptyChart();
  expectBar(expected, 2, 7, "45", kRed, "7");
  EXPECT_EQ(firstDifference(chart(), expected), "");
  EXPECT_EQ(firstDifference(shown(), emptyChart()), "");
  redraw({{kSatGps, 5, 45}});
  EXPECT_EQ(firstDifference(shown(), chart()), "");
}

TEST_F(SnrChart, ClearedByClearingAndEachTimeTheWindowIsShown) {
  const std::vector<SatelliteInView> bars{{kSatGps, 5, 45}, {kSatGlonass, 7, 30}};
  redraw(bars);
  ASSERT_NE(firstDifference(shown(), emptyChart()), "");
  form.clearSnrChart();
  EXPECT_EQ(firstDifference(chart(), emptyChart()), "");
  EXPECT_EQ(firstDifference(shown(), emptyChart()), "");

  for (int show = 0; show < 2; ++show) {
    SCOPED_TRACE(show);
    redraw(bars);
    ASSERT_NE(firstDifference(shown(), emptyChart()), "");
    form.show();
    EXPECT_EQ(firstDifference(chart(), emptyChart()), "");
    EXPECT_EQ(firstDifference(shown(), emptyChart()), "");
    form.hide();
  }
}

// While the drawing is held, a redraw keeps its satellites and draws nothing;
// the release draws the last redraw, unless a clear came after it.
TEST_F(SnrChart, HeldRedrawsDrawTheLastOnceReleased) {
  const std::vector<SatelliteInView> first{{kSatGps, 5, 45}, {kSatGlonass, 7, 30}};
  std::vector<SatelliteInView> last{{kSatGalileo, 9, 41}, {kSatNone, 0, 0}, {kSatBeidou, 12, 22}};
  TSNRForm oneByOne;
  oneByOne.redrawSnrChart(last);
  form.clearSnrChart();

  form.holdDrawing();
  redraw(first);
  redraw(last);
  last[0].snr = 20;  // the table the chart was given goes on changing
  EXPECT_EQ(firstDifference(shown(), emptyChart()), "");
  form.releaseDrawing();
  EXPECT_EQ(firstDifference(chart(), oneByOne.chart()), "");
  EXPECT_EQ(firstDifference(shown(), oneByOne.chart()), "");

  form.holdDrawing();
  redraw(first);
  form.clearSnrChart();
  form.releaseDrawing();
  EXPECT_EQ(firstDifference(shown(), emptyChart()), "");
}

}  // namespace
}  // namespace veltrano
