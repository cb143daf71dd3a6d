// The report picture: the inverted plot, the colour swap in its top-left
// quarter, the green title, the fourteen lines at the right and the accuracy
// lines below them.
#include "displays/report_picture.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <vector>

#include "displays/plot_geometry.h"

namespace veltrano {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGreen = qRgb(0, 128, 0);
const QString kDeg(QChar(0xB0));

ReportCaptions sampleCaptions() {
  ReportCaptions c;
  c.quoted = QuotedCaptions{QStringLiteral("VELTRANO 8.2.3.8 (RTK)"),
                            QStringLiteral("binr-static.dat"),
                            QStringLiteral("MNP-M7"),
                            QStringLiteral("14.03.21"),
                            QStringLiteral("1200"),
                            QStringLiteral("3"),
                            QStringLiteral("0.412"),
                            QStringLiteral("0.958"),
                            QStringLiteral("0.031")};
  c.lat = QStringLiteral("55") + kDeg + QStringLiteral("45.13200N");
  c.lon = QStringLiteral("037") + kDeg + QStringLiteral("36.93600E");
  c.alt = QStringLiteral("0150.25");
  c.dMb = QStringLiteral("0.120 m");
  c.dMl = QStringLiteral("-0.045 m");
  c.dMh = QStringLiteral("1.250 m");
  return c;
}

TEST(ReportLinesTest, FourteenLinesOfTheMeasurement) {
  const std::array<QString, kReportLines> lines = reportLines(sampleCaptions());
  const QString expected[kReportLines] = {QStringLiteral("File:  binr-static.dat"),
                                          QStringLiteral("Dev:  MNP-M7"),
                                          QStringLiteral("Date: 14.03.21"),
                                          QStringLiteral("B: 55") + kDeg + QStringLiteral("45.13200N"),
                                          QStringLiteral("L: 037") + kDeg + QStringLiteral("36.93600E"),
                                          QStringLiteral("H: 0150.25 m"),
                                          QStringLiteral("N: 1200"),
                                          QStringLiteral("Nanom: 3"),
                                          QStringLiteral("rms2D: 0.412 m"),
                                          QStringLiteral("rmsH: 0.958 m"),
                                          QStringLiteral("rmsV: 0.031 m/s"),
                                          QStringLiteral("deltaMb: 0.120 m"),
                                          QStringLiteral("deltaMl: -0.045 m"),
                                          QStringLiteral("deltaMh: 1.250 m")};
  for (int i = 0; i < kReportLines; ++i) EXPECT_EQ(lines[size_t(i)], expected[i]) << i;
}

// CEP50, CEP95, 2DRMS, V50, V95 and the largest error.
AccuracyFigures sampleFigures() { return AccuracyFigures{0.8121, 1.6026, 1.9, 0.9996, 12.5, 1234.5678}; }

TEST(ReportLinesTest, SixAccuracyLinesInMetres) {
  const std::array<QString, kAccuracyLines> lines = accuracyLines(sampleFigures());
  const char* const expected[kAccuracyLines] = {"CEP50: 0.812 m", "CEP95: 1.603 m", "2DRMS: 1.900 m",
                                                "V50: 1.000 m",   "V95: 12.500 m",  "Hmax: 1234.568 m"};
  for (int i = 0; i < kAccuracyLines; ++i) EXPECT_EQ(lines[size_t(i)], QString::fromLatin1(expected[i])) << i;
}

// A black plot with marked pixels: each is where it is for a reason below.
struct PlotPixelCase {
  int x, y;
  QRgb plot;    // the plot layer's pixel
  QRgb report;  // the report's pixel
};

const PlotPixelCase kPlotPixels[] = {
    {100, 250, qRgb(0, 0, 0), kWhite},                    // background
    {10, 40, qRgb(255, 0, 0), qRgb(0, 255, 255)},         // the red marker turns cyan
    {20, 200, qRgb(140, 140, 140), qRgb(115, 115, 115)},  // a grey dot turns dark
    {60, 153, qRgb(128, 128, 0), qRgb(127, 127, 255)},    // the olive axis
    {255, 255, qRgb(255, 255, 255), kBlack},              // a saturated dot
    // The emblem's dark reds in the top-left quarter turn pink ...
    {30, 30, qRgb(59, 0, 0), qRgb(255, 197, 197)},
    {40, 60, qRgb(57, 0, 0), qRgb(255, 197, 197)},
    {152, 152, qRgb(59, 0, 0), qRgb(255, 197, 197)},
    {0, 20, qRgb(57, 0, 0), qRgb(255, 197, 197)},
    // ... but not outside it, nor any other red.
    {153, 100, qRgb(59, 0, 0), qRgb(196, 255, 255)},
    {100, 153, qRgb(57, 0, 0), qRgb(198, 255, 255)},
    {250, 250, qRgb(59, 0, 0), qRgb(196, 255, 255)},
    {50, 50, qRgb(58, 0, 0), qRgb(197, 255, 255)},
    {306, 306, qRgb(1, 2, 3), qRgb(254, 253, 252)},
};

QImage markedPlot() {
  QImage plot(kPlotSize, kPlotSize, QImage::Format_RGB32);
  plot.fill(Qt::black);
  for (const PlotPixelCase& c : kPlotPixels) plot.setPixel(c.x, c.y, c.plot);
  return plot;
}

TEST(ReportPictureTest, PlotIsInvertedWithTheQuarterSwap) {
  const QImage report = drawReportPicture(markedPlot(), sampleCaptions());
  ASSERT_EQ(report.size(), QSize(421, 307));
  EXPECT_EQ(report.format(), QImage::Format_RGB32);
  for (const PlotPixelCase& c : kPlotPixels)
    EXPECT_EQ(report.pixel(c.x, c.y), c.report) << c.x << "," << c.y << " " << std::hex << report.pixel(c.x, c.y);
}

// Where a text of the report lies: its white box starts at (x, y).
struct TextPlace {
  int x, y;
  QString text;
  QRgb colour;
};

std::vector<TextPlace> textPlaces(const ReportCaptions& captions) {
  std::vector<TextPlace> places{{153 - 40, 0, captions.quoted.title, kGreen}};
  const std::array<QString, kReportLines> lines = reportLines(captions);
  for (int i = 0; i < kReportLines; ++i)
    places.push_back({i == 0 ? 421 - 136 : 421 - 110, 15 * i, lines[size_t(i)], kBlack});
  if (captions.accuracy) {
    const std::array<QString, kAccuracyLines> accuracy = accuracyLines(*captions.accuracy);
    for (int i = 0; i < kAccuracyLines; ++i) places.push_back({421 - 110, 15 * (14 + i), accuracy[size_t(i)], kBlack});
  }
  return places;
}

ReportCaptions captionsWithFigures() {
  ReportCaptions captions = sampleCaptions();
  captions.accuracy = sampleFigures();
  return captions;
}

class ReportTextTest : public ::testing::TestWithParam<bool> {};

TEST_P(ReportTextTest, TitleAndLinesAreDrawnOnWhiteWhereTheyBelong) {
  const ReportCaptions captions = GetParam() ? captionsWithFigures() : sampleCaptions();
  const QImage report = drawReportPicture(markedPlot(), captions);
  const QFontMetrics metrics(reportFont());
  for (const TextPlace& place : textPlaces(captions)) {
    SCOPED_TRACE(place.text.toStdString());
    // The text alone, drawn on white at the same place.
    QImage expected(report.size(), QImage::Format_RGB32);
    expected.fill(kWhite);
    QPainter p(&expected);
    p.setFont(reportFont());
    p.setPen(QColor(place.colour));
    p.drawText(place.x, place.y + metrics.ascent(), place.text);
    p.end();
    const QRect box(place.x, place.y, metrics.horizontalAdvance(place.text), metrics.height());
    int inked = 0, leftmost = report.width();
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right() && x < report.width(); ++x) {
        ASSERT_EQ(report.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
        if (report.pixel(x, y) == place.colour) ++inked, leftmost = std::min(leftmost, x);
      }
    EXPECT_GT(inked, 10);
    EXPECT_LT(leftmost, place.x + 4);
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutFigures, ReportTextTest, ::testing::Bool());

TEST(ReportPictureTest, TheAccuracyLinesFitBelowTheOthers) {
  const QImage report = drawReportPicture(markedPlot(), captionsWithFigures());
  ASSERT_EQ(report.size(), QSize(421, 307));
  const QFontMetrics metrics(reportFont());
  EXPECT_LE(15 * (kReportLines + kAccuracyLines - 1) + metrics.height(), 307);
  // Below the last accuracy line the right part is empty.
  for (int y = 15 * (kReportLines + kAccuracyLines - 1) + metrics.height(); y < 307; ++y)
    for (int x = kPlotSize; x < 421; ++x) ASSERT_EQ(report.pixel(x, y), kWhite) << x << "," << y;
  // The plot and the other lines are those of the report without figures.
  const QImage plain = drawReportPicture(markedPlot(), sampleCaptions());
  for (int y = 0; y < 15 * kReportLines; ++y)
    for (int x = 0; x < 421; ++x) ASSERT_EQ(report.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
}

TEST(ReportPictureTest, OutsideThePlotAndTheTextsAllIsWhite) {
  const ReportCaptions captions = sampleCaptions();
  const QImage report = drawReportPicture(markedPlot(), captions);
  // Below the last line the right part is empty.
  for (int y = 15 * kReportLines; y < 307; ++y)
    for (int x = kPlotSize; x < 421; ++x) ASSERT_EQ(report.pixel(x, y), kWhite) << x << "," << y;
  // Between the plot and the lines (all but the file line start at 311).
  for (int y = 15; y < 307; ++y)
    for (int x = kPlotSize; x < 311; ++x) ASSERT_EQ(report.pixel(x, y), kWhite) << x << "," << y;
  // No green but the title's.
  for (int y = 0; y < 307; ++y)
    for (int x = 0; x < 421; ++x)
      if (report.pixel(x, y) == kGreen) {
        ASSERT_TRUE(x >= 113 && x < 285 && y < 15) << x << "," << y;
      }
}

TEST(ReportPictureTest, TitleIsDrawnOverTheInvertedPlot) {
  // A white plot: inverted to black, the title's box stays white around the green.
  QImage plot(kPlotSize, kPlotSize, QImage::Format_RGB32);
  plot.fill(Qt::white);
  const ReportCaptions captions = sampleCaptions();
  const QImage report = drawReportPicture(plot, captions);
  const QFontMetrics metrics(reportFont());
  const int right = 113 + metrics.horizontalAdvance(captions.quoted.title);
  EXPECT_EQ(report.pixel(112, 3), kBlack);
  EXPECT_EQ(report.pixel(right, 3), kBlack);
  int green = 0;
  for (int y = 0; y < metrics.height(); ++y)
    for (int x = 113; x < right; ++x) {
      const QRgb pixel = report.pixel(x, y);
      ASSERT_TRUE(pixel == kWhite || pixel == kGreen) << x << "," << y;
      green += pixel == kGreen;
    }
  EXPECT_GT(green, 50);
  EXPECT_EQ(report.pixel(100, 100), kBlack);
}

}  // namespace
}  // namespace veltrano
