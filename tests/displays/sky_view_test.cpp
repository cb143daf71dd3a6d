// The sky view: where a satellite sits, how it is coloured and outlined, and
// which systems the boxes let through.
#include "displays/sky_view.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>

#include "displays/tool_form.h"

namespace veltrano {
namespace {

constexpr int kSize = 307;

TEST(SkyView, ZenithAtTheCentreNorthUpEastRight) {
  struct Case {
    int elevation, azimuth;
    QPoint at;
  } cases[] = {{90, 0, {153, 153}}, {0, 0, {153, 0}}, {30, 180, {153, 255}}, {0, 90, {306, 152}},
               {0, 270, {0, 153}},  {60, 90, {204, 153}}};
  for (const Case& c : cases) EXPECT_EQ(skyPosition(c.elevation, c.azimuth, kSize), c.at) << c.elevation << "/" << c.azimuth;
}

class SkyViewDrawing : public ::testing::Test {
 protected:
  SkyViewDrawing() : plot(kSize, kSize, QImage::Format_RGB32), sky(kSize, kSize, QImage::Format_RGB32) {
    plot.fill(qRgb(10, 10, 10));
  }
  void draw(const std::vector<SatelliteInView>& satellites, SkySystems shown = {}) {
    QFont font = smallFont();
    font.setStyleStrategy(QFont::NoAntialias);
    drawSkyView(sky, plot, satellites, shown, font);
  }
  QRgb at(int x, int y) const { return sky.pixel(x, y); }

  QImage plot, sky;
};

TEST_F(SkyViewDrawing, DiscsInTheirSystemsColoursOutlinedWhenUsed) {
  struct Case {
    SatelliteInView satellite;
    QRgb fill, outline;
  } cases[] = {
      {{kSatGps, 5, 40, 0, 90, 0}, qRgb(0, 0, 255), qRgb(0, 0, 255)},
      {{kSatGps, 5, 1, 1, 90, 0}, qRgb(0, 0, 127), qRgb(255, 255, 255)},
      {{kSatGlonass, 6, 30, 0, 90, 0}, qRgb(255, 0, 0), qRgb(255, 0, 0)},
      {{kSatSbas, 124, 30, 0, 90, 0}, qRgb(0, 127, 0), qRgb(0, 127, 0)},
      {{kSatGpsBeyond, 3, 30, 1, 90, 0}, qRgb(0, 127, 0), qRgb(255, 255, 255)},
      {{kSatGalileo, 51, 0, 0, 90, 0}, qRgb(127, 63, 0), qRgb(127, 63, 0)},
      {{kSatBeidou, 9, 45, 0, 90, 0}, qRgb(127, 0, 127), qRgb(127, 0, 127)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.satellite.system));
    draw({c.satellite});
    EXPECT_EQ(at(153, 163), c.fill);     // inside the disc, below its label
    EXPECT_EQ(at(153, 141), c.outline);  // its top edge
  }
}

TEST_F(SkyViewDrawing, UntickedSystemsAndEmptyEntriesAreNotDrawn) {
  const SatelliteInView gps{kSatGps, 5, 40, 0, 90, 0};
  const SatelliteInView q{kSatGpsBeyond, 3, 40, 0, 0, 0};
  SkySystems noSbas;
  noSbas.sbas = false;
  draw({gps, q}, noSbas);
  EXPECT_EQ(at(153, 163), qRgb(0, 0, 255));
  EXPECT_EQ(at(153, 8), plot.pixel(153, 8));  // "Q3" goes with the SBAS box
  draw({gps, q});
  EXPECT_EQ(at(153, 8), qRgb(0, 127, 0));
  SkySystems noGps;
  noGps.gps = false;
  draw({gps, SatelliteInView{kSatNone, 7, 40, 0, 0, 0}}, noGps);
  EXPECT_EQ(at(153, 163), plot.pixel(153, 163));
  EXPECT_EQ(at(153, 8), plot.pixel(153, 8));
}

TEST_F(SkyViewDrawing, DiagonalsAndElevationLabelsOverThePlot) {
  draw({});
  EXPECT_EQ(at(100, 100), qRgb(128, 128, 0));
  EXPECT_EQ(at(100, 207), qRgb(128, 128, 0));
  EXPECT_EQ(at(5, 100), plot.pixel(5, 100));
  // The "0°" label's box starts at (W/8, H/8) on black.
  EXPECT_EQ(at(38, 38), qRgb(0, 0, 0));
  int magenta = 0;
  for (int y = 38; y < 52; ++y)
    for (int x = 38; x < 52; ++x) magenta += at(x, y) == qRgb(255, 0, 255);
  EXPECT_GT(magenta, 5);
}

}  // namespace
}  // namespace veltrano
