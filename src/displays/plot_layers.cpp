#include "displays/plot_layers.h"

#include <QPainter>
#include <cstring>

#include "displays/general_format.h"
#include "displays/tool_form.h"
#include "displays/visual_logo.h"

namespace veltrano {

namespace {

const QColor kOlive(128, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kBlack(0, 0, 0);
const QRgb kMarkerRed = qRgb(255, 0, 0);
constexpr uint8_t kClearedCount = 127;
constexpr uint8_t kWhite = 255;
constexpr int W = kPlotSize;
constexpr int H = kPlotSize;

// The 12 pixels of a dot, in painting order, relative to its centre.
constexpr int kDotPixels[12][2] = {{0, 1},  {1, 1},  {-1, 0}, {0, 0},  {1, 0}, {2, 0},
                                   {-1, -1}, {0, -1}, {1, -1}, {2, -1}, {0, -2}, {1, -2}};

QImage blankLayer() {
  QImage layer(kPlotSize, kPlotSize, QImage::Format_RGB32);
  layer.fill(Qt::black);
  return layer;
}

// Text with its top-left corner at (x, y) on a black box of the text's size.
void drawText(QPainter& p, int x, int y, const QString& text, const QColor& color) {
  const QFontMetrics metrics(p.font());
  p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), kBlack);
  p.setPen(color);
  p.drawText(x, y + metrics.ascent(), text);
}

}  // namespace

std::string ringLabel(float metres) { return " " + formatGeneral(metres, 5) + "m "; }

void copyPixels(const QImage& from, QImage& to) {
  if (from.size() != to.size() || from.format() != to.format()) {
    to = from.copy();
    return;
  }
  std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
}

PlotLayers::PlotLayers()
    : plotLayer(blankLayer()), skyLayer(blankLayer()), gaugeLayer(blankLayer()), logo_(visualLogo()), font_(smallFont()) {
  // The plot's texts are drawn pixel for pixel, like a bitmap font.
  font_.setStyleStrategy(QFont::NoAntialias);
}

void PlotLayers::drawEmptyPlot(float plotRadius) {
  copyPixels(logo_, plotLayer);
  {
    QPainter p(&plotLayer);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kOlive, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(0, H / 2, W - 1, H / 2);
    p.drawLine(W / 2, 0, W / 2, H - 1);
    // Bounding boxes (0,0)-(W,H), (W/6,H/6)-(5W/6,5H/6), (W/3,H/3)-(2W/3,2H/3),
    // right and bottom edges excluded: radii 153.5, 102 and 51 pixels.
    p.drawEllipse(QRect(0, 0, W - 1, H - 1));
    p.drawEllipse(QRect(W / 6, H / 6, 5 * W / 6 - W / 6 - 1, 5 * H / 6 - H / 6 - 1));
    p.drawEllipse(QRect(W / 3, H / 3, 2 * W / 3 - W / 3 - 1, 2 * H / 3 - H / 3 - 1));
  }
  drawRingLabels(plotRadius);
  QPainter p(&plotLayer);
  p.setFont(font_);
  drawText(p, W / 2 - 3, 0, QStringLiteral("N"), kAqua);
  drawText(p, W / 2 - 3, H - 14, QStringLiteral("S"), kAqua);
  drawText(p, 1, H / 2 - 6, QStringLiteral("W"), kAqua);
  drawText(p, W - 8, H / 2 - 6, QStringLiteral("E"), kAqua);
}

void PlotLayers::drawRingLabels(float plotRadius) {
  if (plotRadius != labelRadius_) {
    innerLabel_ = QString::fromStdString(ringLabel(plotRadius));
    middleLabel_ = QString::fromStdString(ringLabel(2 * plotRadius));
    labelRadius_ = plotRadius;
  }
  QPainter p(&plotLayer);
  p.setFont(font_);
  drawText(p, 2 * W / 3 - 10, H / 2 - 6, innerLabel_, kLime);
  drawText(p, 5 * W / 6 - 10, H / 2 - 6, middleLabel_, kLime);
}

void PlotLayers::clearHitCounts() { hitCount.fill(kClearedCount); }

void PlotLayers::plotDot(int32_t x, int32_t y, bool isCurrent) {
  for (const auto& step : kDotPixels) {
    const int64_t px = int64_t(x) + step[0];
    const int64_t py = int64_t(y) + step[1];
    if (px < 0 || py < 0 || px >= plotLayer.width() || py >= plotLayer.height()) continue;
    QRgb& pixel = reinterpret_cast<QRgb*>(plotLayer.scanLine(int(py)))[px];
    if (isCurrent) {
      pixel = kMarkerRed;
      continue;
    }
    uint8_t& count = hitCount[size_t(px * kPlotSize + py)];
    if (count < kWhite) ++count;
    pixel = qRgb(count, count, count);
  }
}

}  // namespace veltrano
