#include "displays/sky_view.h"

#include <QPainter>
#include <cmath>

#include "displays/plot_layers.h"

namespace veltrano {

namespace {

constexpr double kPi = 3.14159265358979323846;
const QColor kOlive(128, 128, 0);
const QColor kMagenta(255, 0, 255);
const QColor kGrey(128, 128, 128);
constexpr int kDiscRadius = 12;

struct SystemLook {
  QColor bright, dim;
};

// The colour of a system's discs, or nullptr for a system the view does not show.
const SystemLook* lookOf(uint8_t system, const SkySystems& shown) {
  static const SystemLook kGps{{0, 0, 255}, {0, 0, 127}};
  static const SystemLook kGlonass{{255, 0, 0}, {127, 0, 0}};
  static const SystemLook kSbas{{0, 127, 0}, {0, 63, 0}};
  static const SystemLook kGalileo{{255, 127, 0}, {127, 63, 0}};
  static const SystemLook kBeidou{{127, 0, 127}, {95, 0, 95}};
  switch (system) {
    case kSatGps:
      return shown.gps ? &kGps : nullptr;
    case kSatGlonass:
      return shown.glonass ? &kGlonass : nullptr;
    case kSatSbas:
    case kSatGpsBeyond:
      return shown.sbas ? &kSbas : nullptr;
    case kSatGalileo:
      return shown.galileo ? &kGalileo : nullptr;
    case kSatBeidou:
      return shown.beidou ? &kBeidou : nullptr;
    default:
      return nullptr;
  }
}

// The label and where it goes relative to the disc's centre.
QString labelOf(const SatelliteInView& s, QPoint& offset) {
  offset = QPoint(-6, -7);
  if (s.system == kSatGalileo && (s.number == 51 || s.number == 52)) {
    offset = QPoint(-7, -7);
    return s.number == 51 ? QStringLiteral("GA") : QStringLiteral("GB");
  }
  if (s.system == kSatSbas) {
    offset = QPoint(-9, -7);
    return QString::number(s.number);
  }
  if (s.system == kSatGpsBeyond) {
    offset = QPoint(-9, -7);
    return QStringLiteral("Q") + QString::number(s.number);
  }
  return QString::number(s.number);
}

// Text with its top-left corner at `at`, on a box of `background`.
void drawLabel(QPainter& p, QPoint at, const QString& text, const QColor& ink, const QColor& background) {
  const QFontMetrics metrics(p.font());
  p.fillRect(QRect(at, QSize(metrics.horizontalAdvance(text), metrics.height())), background);
  p.setPen(ink);
  p.drawText(at.x(), at.y() + metrics.ascent(), text);
}

void drawSatellite(QPainter& p, const SatelliteInView& s, const SystemLook& look, int size) {
  const QPoint centre = skyPosition(s.elevation, s.azimuth, size);
  const bool strong = s.snr > 1;
  const QColor fill = strong ? look.bright : look.dim;
  p.setBrush(fill);
  p.setPen(s.used ? QColor(Qt::white) : fill);
  // Bounding box (x - 12, y - 12)-(x + 12, y + 12), right and bottom edges excluded.
  p.drawEllipse(QRect(centre.x() - kDiscRadius, centre.y() - kDiscRadius, 2 * kDiscRadius - 1, 2 * kDiscRadius - 1));
  QPoint offset;
  const QString label = labelOf(s, offset);
  drawLabel(p, centre + offset, label, strong ? QColor(Qt::white) : kGrey, fill);
}

}  // namespace

QPoint skyPosition(int32_t elevation, int32_t azimuth, int size) {
  const float r = float(int64_t(90 - int64_t(elevation)) * size / 2) * (1.0f / 90.0f);
  const int x = int(std::sin((180 - azimuth) * kPi / 180) * r + size / 2);
  const int y = int(std::cos((azimuth + 180) * kPi / 180) * r + size / 2);
  return {x, y};
}

void drawSkyView(QImage& skyLayer, const QImage& plotLayer, std::span<const SatelliteInView> satellites,
                 const SkySystems& shown, const QFont& font) {
  copyPixels(plotLayer, skyLayer);
  const int W = skyLayer.width();
  const int H = skyLayer.height();
  QPainter p(&skyLayer);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(font);
  p.setBrush(Qt::black);
  p.setPen(kOlive);
  p.drawLine(0, 0, W, H);
  p.drawLine(0, H, W, 0);
  drawLabel(p, QPoint(W / 8, H / 8), QStringLiteral("0\u00B0"), kMagenta, Qt::black);
  drawLabel(p, QPoint(2 * W / 8 - 1, 2 * H / 8 - 1), QStringLiteral("30\u00B0"), kMagenta, Qt::black);
  drawLabel(p, QPoint(3 * W / 8 - 3, 3 * H / 8 - 3), QStringLiteral("60\u00B0"), kMagenta, Qt::black);
  for (const SatelliteInView& s : satellites) {
    if (s.system == kSatNone) continue;
    if (const SystemLook* look = lookOf(s.system, shown)) drawSatellite(p, s, *look, W);
  }
}

}  // namespace veltrano
