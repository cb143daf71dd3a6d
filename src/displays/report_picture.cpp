#include "displays/report_picture.h"

#include <QFontMetrics>
#include <QPainter>

#include "displays/plot_geometry.h"

namespace veltrano {

namespace {

constexpr int W = kPlotSize;
constexpr int H = kPlotSize;
constexpr int kLineLeft = kReportWidth - 110;
constexpr int kFileLineLeft = kReportWidth - 136;
constexpr int kLinePitch = 15;
const QColor kTitleGreen(0, 128, 0);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
// The emblem's dark reds (59, 0, 0) and (57, 0, 0) once inverted, and the pink
// they become.
const QRgb kInvertedEmblem[] = {qRgb(196, 255, 255), qRgb(198, 255, 255)};
const QRgb kEmblemPink = qRgb(255, 197, 197);

QRgb* row(QImage& image, int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); }

void invertPlot(QImage& report) {
  for (int y = 0; y < H; ++y) {
    QRgb* pixels = row(report, y);
    for (int x = 0; x < W; ++x) pixels[x] ^= 0x00FFFFFFu;
  }
}

void swapEmblemColours(QImage& report) {
  for (int y = 0; y < H / 2; ++y) {
    QRgb* pixels = row(report, y);
    for (int x = 0; x < W / 2; ++x)
      if (pixels[x] == kInvertedEmblem[0] || pixels[x] == kInvertedEmblem[1]) pixels[x] = kEmblemPink;
  }
}

// Text with its top-left corner at (x, y) on a white box of the text's size.
void drawText(QPainter& p, int x, int y, const QString& text, const QColor& color) {
  const QFontMetrics metrics(p.font());
  p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), kWhite);
  p.setPen(color);
  p.drawText(x, y + metrics.ascent(), text);
}

}  // namespace

std::array<QString, kReportLines> reportLines(const ReportCaptions& c) {
  const QuotedCaptions& q = c.quoted;
  return {
      QStringLiteral("File:  ") + q.file,
      QStringLiteral("Dev:  ") + q.device,
      QStringLiteral("Date: ") + q.date,
      QStringLiteral("B: ") + c.lat,
      QStringLiteral("L: ") + c.lon,
      QStringLiteral("H: ") + c.alt + QStringLiteral(" m"),
      QStringLiteral("N: ") + q.n,
      QStringLiteral("Nanom: ") + q.nanom,
      QStringLiteral("rms2D: ") + q.rms2D + QStringLiteral(" m"),
      QStringLiteral("rmsH: ") + q.rmsH + QStringLiteral(" m"),
      QStringLiteral("rmsV: ") + q.rmsV + QStringLiteral(" m/s"),
      QStringLiteral("deltaMb: ") + c.dMb,
      QStringLiteral("deltaMl: ") + c.dMl,
      QStringLiteral("deltaMh: ") + c.dMh,
  };
}

std::array<QString, kAccuracyLines> accuracyLines(const AccuracyFigures& a) {
  std::array<QString, kAccuracyLines> lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    const AccuracyFigureName& figure = kAccuracyFigureNames[i];
    lines[i] = QString::asprintf("%s: %.3f m", figure.label, a.*figure.value);
  }
  return lines;
}

// At full width: condensed and unsmoothed, an 11-pixel face loses its zeros
// to the letter D.
QFont reportFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QImage drawReportPicture(const QImage& plotLayer, const ReportCaptions& captions) {
  QImage report(kReportWidth, H, QImage::Format_RGB32);
  report.fill(kWhite);
  QPainter p(&report);
  p.drawImage(QPoint(0, 0), plotLayer.convertToFormat(QImage::Format_RGB32), QRect(0, 0, W, H));
  p.end();
  invertPlot(report);
  swapEmblemColours(report);

  p.begin(&report);
  p.setFont(reportFont());
  drawText(p, W / 2 - 40, 0, captions.quoted.title, kTitleGreen);
  const std::array<QString, kReportLines> lines = reportLines(captions);
  for (int i = 0; i < kReportLines; ++i)
    drawText(p, i == 0 ? kFileLineLeft : kLineLeft, i * kLinePitch, lines[size_t(i)], kBlack);
  if (captions.accuracy) {
    const std::array<QString, kAccuracyLines> accuracy = accuracyLines(*captions.accuracy);
    for (int i = 0; i < kAccuracyLines; ++i)
      drawText(p, kLineLeft, (kReportLines + i) * kLinePitch, accuracy[size_t(i)], kBlack);
  }
  return report;
}

}  // namespace veltrano
