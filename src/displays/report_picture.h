#pragma once
// The Visual window's report: the plot inverted to dark on white with the
// program's title over it and the figures of the measurement at its right, one
// picture for the clipboard. Drawn without widgets. A report made outside the
// program (veltrano-cli report) adds the accuracy figures below the figures.
#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <optional>

#include "util/accuracy_figures.h"

namespace veltrano {

// The report is as high as the plot and this wide.
constexpr int kReportWidth = 421;
constexpr int kReportLines = 14;
constexpr int kAccuracyLines = int(kAccuracyFigureNames.size());

// The captions of other windows that the report quotes, as they show them.
struct QuotedCaptions {
  QString title;   // the main window's TopPanel
  QString file;    // the main window's FileLabel
  QString device;  // the main window's DeviceLabel
  QString date;    // the Position window's DateLabel
  QString n;       // the Statistic window's NLabel
  QString nanom;   // NanomLabel
  QString rms2D;   // rms2DLabel
  QString rmsH;    // rmsHLabel
  QString rmsV;    // rmsVLabel
};

struct ReportCaptions {
  QuotedCaptions quoted;
  // The reference point: LatEdit, LonEdit and AltEdit.
  QString lat, lon, alt;
  // The offsets of the mean: dMbLabel, dMlLabel and dMhLabel, ending in " m".
  QString dMb, dMl, dMh;
  // Lines of their own below the others; the window's Copy has none.
  std::optional<AccuracyFigures> accuracy;
};

// The lines at the right of the report, top to bottom.
std::array<QString, kReportLines> reportLines(const ReportCaptions& captions);
// The accuracy lines, each figure in metres to the millimetre.
std::array<QString, kAccuracyLines> accuracyLines(const AccuracyFigures& figures);

// The report's face: an 11-pixel sans-serif drawn pixel for pixel, black or
// green on white.
QFont reportFont();

// The report of a kPlotSize square plot layer: kReportWidth x kPlotSize, 32-bit
// RGB. The plot is inverted, so its black becomes white and its red marker
// cyan; in its top-left quarter the inverted dark red of the background's
// emblem turns pink. The title is green over the plot, the lines black at the
// right, the accuracy lines (if any) continuing them.
QImage drawReportPicture(const QImage& plotLayer, const ReportCaptions& captions);

}  // namespace veltrano
