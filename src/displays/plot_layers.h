#pragma once
// The off-screen pictures of the Visual window's plot and the per-pixel hit
// counters of its density scatter.
#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

#include "displays/plot_geometry.h"

namespace veltrano {

class PlotLayers {
 public:
  PlotLayers();

  // Background picture, rings, labels and dots.
  QImage plotLayer;
  // plotLayer with the satellite sky view drawn over it.
  QImage skyLayer;
  // The shown base layer with the course and speed gauges drawn over it.
  QImage gaugeLayer;
  // One counter per pixel of the plot, indexed x * kPlotSize + y.
  std::array<uint8_t, kPlotSize * kPlotSize> hitCount{};

  // The empty plot on plotLayer: background, axes, the three rings, the ring
  // labels of R and 2R metres and the compass letters.
  void drawEmptyPlot(float plotRadius);
  // The labels " R m " and " 2R m " on black, over whatever dots cover them.
  void drawRingLabels(float plotRadius);
  // Every counter back to 127, the level below the first hit.
  void clearHitCounts();
  // The 12 pixels of a dot at (x, y): a history dot counts one more hit on
  // each pixel and shows it as grey, a current dot is red. Pixels outside the
  // plot are skipped.
  void plotDot(int32_t x, int32_t y, bool isCurrent);
  // The font of the plot's texts, drawn pixel for pixel.
  const QFont& font() const { return font_; }

 private:
  QImage logo_;
  QFont font_;
  // The ring label texts of the radius they were made for.
  float labelRadius_ = -1;
  QString innerLabel_;
  QString middleLabel_;
};

// Copies the pixels of one layer into another of the same size and format.
void copyPixels(const QImage& from, QImage& to);

// The text of a ring label: " " + the radius in the general format of 5
// digits + "m ".
std::string ringLabel(float metres);

}  // namespace veltrano
