#include "displays/snr_form.h"

#include <QPainter>
#include <QShowEvent>
#include <algorithm>
#include <optional>

#include "displays/auto_label.h"
#include "displays/picture_box.h"

namespace veltrano {

namespace {

const QRect kImagePlace(32, 24, 813, 65);
// The chart's base line (10 dB-Hz) lies this far above its bottom edge; the
// height above it spans 40 dB.
constexpr int kBelowBase = 15;
constexpr int kSpanDb = 40;
constexpr int kColumnWidth = 25;
// Left edge of a bar, of its value and of its label within its column.
constexpr int kBarLeft = 15;
constexpr int kBarWidth = 20;
constexpr int kValueLeft = 18;
constexpr int kLabelLeft = 16;
// Tops of the value and label texts, above the chart's bottom edge.
constexpr int kValueAboveBottom = 28;
constexpr int kLabelAboveBottom = 12;
constexpr int kAxisX = 5;

std::optional<QColor> barColour(uint8_t system) {
  switch (system) {
    case kSatGps:
      return QColor(0, 0, 255);
    case kSatGlonass:
      return QColor(255, 0, 0);
    case kSatSbas:
    case kSatGpsBeyond:
      return QColor(0, 128, 0);
    case kSatGalileo:
      return QColor(255, 127, 0);
    case kSatBeidou:
      return QColor(127, 0, 127);
    default:
      return std::nullopt;
  }
}

QString barLabel(uint8_t system, uint8_t number) {
  if (system == kSatGalileo && number == 51) return QStringLiteral("GA");
  if (system == kSatGalileo && number == 52) return QStringLiteral("GB");
  if (system == kSatGpsBeyond) return QStringLiteral("Q") + QString::number(number);
  return QString::number(number);
}

// The chart's texts are drawn pixel for pixel, like a bitmap font.
QFont chartFont(bool bold) {
  QFont font = smallFont(bold);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

}  // namespace

TSNRForm::TSNRForm()
    : ToolForm("TSNRForm", 848, 94),
      image_(new PictureBox(this, "SNRImage", kImagePlace)),
      chart_(kImagePlace.size(), QImage::Format_RGB32),
      valueFont_(chartFont(false)),
      labelFont_(chartFont(true)) {
  addTitleStrip(QStringLiteral("SIGNAL-NOISE RATIO"), QRect(2, 2, 843, 17));
  AutoLabel::left(this, "Label1", 4, 29, QStringLiteral("40 dB"), false);
  AutoLabel::left(this, "Label2", 4, 55, QStringLiteral("20 dB"), false);
}

QColor TSNRForm::faceColour() const { return palette().color(QPalette::Window); }

void TSNRForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  // Restoring a minimised window is no new show.
  if (!event->spontaneous()) clearSnrChart();
}

void TSNRForm::clearSnrChart() {
  chartKept_ = false;
  const int W = chart_.width();
  const int B = chart_.height() - kBelowBase;
  chart_.fill(faceColour());
  {
    QPainter p(&chart_);
    p.setPen(QPen(Qt::black, 1));
    // Lines end one pixel short of their end points.
    p.drawLine(kAxisX, 0, kAxisX, B - 1);
    p.drawLine(kAxisX, B, W - 1, B);
    // 40, 30 and 20 dB-Hz.
    for (int quarter = 1; quarter <= 3; ++quarter) p.drawLine(kAxisX, quarter * B / 4, W - 1, quarter * B / 4);
  }
  image_->showPicture(chart_);
}

void TSNRForm::drawSnrBar(int index, uint8_t snr, uint8_t system, uint8_t number) {
  const int H = chart_.height();
  const int B = H - kBelowBase;
  const int x0 = kColumnWidth * index;
  const QColor face = faceColour();
  // A system without a colour draws its bar in the face colour: only its texts show.
  const QColor fill = barColour(system).value_or(face);
  QPainter p(&chart_);
  if (snr >= 10) {
    // 1.25 pixels per dB above 10 dB-Hz; ratios above 50 dB-Hz are cut at the top edge.
    const int top = B - (snr - 10) * B / kSpanDb;
    p.fillRect(QRect(x0 + kBarLeft, top, kBarWidth, B - top), fill);
    texts_.write(p, QPoint(x0 + kValueLeft, H - kValueAboveBottom), QString::number(snr), valueFont_, Qt::white, fill);
  }
  texts_.write(p, QPoint(x0 + kLabelLeft, H - kLabelAboveBottom), barLabel(system, number), labelFont_, Qt::black,
               face);
}

void TSNRForm::redrawSnrChart(std::span<const SatelliteInView> satellites) {
  keptCount_ = std::min(satellites.size(), kept_.size());
  std::copy_n(satellites.begin(), keptCount_, kept_.begin());
  chartKept_ = true;
  if (!drawingHeld()) drawKept();
}

void TSNRForm::drawKept() {
  if (!chartKept_) return;
  const std::span<const SatelliteInView> satellites(kept_.data(), keptCount_);
  clearSnrChart();
  const int columns = chart_.width() / kColumnWidth;
  int column = 0;
  for (const SatelliteInView& s : satellites) {
    if (s.system == kSatNone) continue;
    if (column == columns) break;
    drawSnrBar(column++, s.snr, s.system, s.number);
  }
  image_->showPicture(chart_);
}

}  // namespace veltrano
