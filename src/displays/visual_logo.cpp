#include "displays/visual_logo.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "displays/plot_geometry.h"

namespace veltrano {

namespace {
// Dim enough that the grey dots of the plot (128 and brighter) stand out.
const QColor kGlobe(0, 12, 26);
const QColor kGrid(0, 24, 46);
const QColor kOrbit(30, 30, 14);
const QColor kSatellite(59, 0, 0);
const QColor kName(26, 26, 26);
}  // namespace

QImage visualLogo() {
  QImage logo(kPlotSize, kPlotSize, QImage::Format_RGB32);
  logo.fill(Qt::black);
  QPainter p(&logo);
  p.setRenderHint(QPainter::Antialiasing);

  const QPointF centre(kPlotCentre + 0.5, kPlotCentre + 0.5);
  constexpr double kGlobeRadius = 92;
  p.setPen(Qt::NoPen);
  p.setBrush(kGlobe);
  p.drawEllipse(centre, kGlobeRadius, kGlobeRadius);

  // Meridians and parallels of the globe.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kGrid, 1.2));
  for (double k : {0.35, 0.7}) {
    p.drawEllipse(centre, kGlobeRadius * k, kGlobeRadius);
    p.drawLine(QPointF(centre.x() - kGlobeRadius * std::sqrt(1 - k * k), centre.y() - kGlobeRadius * k),
               QPointF(centre.x() + kGlobeRadius * std::sqrt(1 - k * k), centre.y() - kGlobeRadius * k));
    p.drawLine(QPointF(centre.x() - kGlobeRadius * std::sqrt(1 - k * k), centre.y() + kGlobeRadius * k),
               QPointF(centre.x() + kGlobeRadius * std::sqrt(1 - k * k), centre.y() + kGlobeRadius * k));
  }
  p.drawLine(QPointF(centre.x() - kGlobeRadius, centre.y()), QPointF(centre.x() + kGlobeRadius, centre.y()));
  p.drawEllipse(centre, kGlobeRadius, kGlobeRadius);

  // A tilted orbit with the satellite in the upper left.
  p.save();
  p.translate(centre);
  p.rotate(-28);
  p.setPen(QPen(kOrbit, 2));
  p.drawEllipse(QPointF(0, 0), 138, 44);
  p.restore();

  p.setPen(Qt::NoPen);
  p.setBrush(kSatellite);
  const QPointF satellite(centre.x() - 96, centre.y() - 62);
  p.drawEllipse(satellite, 7, 7);
  p.save();
  p.translate(satellite);
  p.rotate(-28);
  p.drawRect(QRectF(-22, -4, 12, 8));
  p.drawRect(QRectF(10, -4, 12, 8));
  p.restore();

  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(22);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  p.setFont(font);
  p.setPen(kName);
  p.drawText(QRect(0, 256, kPlotSize, 30), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("VELTRANO"));
  return logo;
}

}  // namespace veltrano
