#pragma once
// The sky view over the Visual window's plot: the plot's rings read as
// elevation rings (0, 30 and 60 degrees), and one disc per satellite in view
// at its azimuth and elevation, coloured by system, outlined white when the
// solution uses it.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <span>

#include "decoding/satellites_in_view.h"

namespace veltrano {

// Which systems the sky view shows, by the Visual window's system boxes.
struct SkySystems {
  bool gps = true, glonass = true, sbas = true, galileo = true, beidou = true;
};

// Copies `plotLayer` into `skyLayer` (same size) and draws the sky over it.
void drawSkyView(QImage& skyLayer, const QImage& plotLayer, std::span<const SatelliteInView> satellites,
                 const SkySystems& shown, const QFont& font);

// Where a satellite sits on a layer of `size` pixels: the zenith at the centre,
// elevation 0 on the edge, north up and east right.
QPoint skyPosition(int32_t elevation, int32_t azimuth, int size);

}  // namespace veltrano
