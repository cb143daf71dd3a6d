#pragma once
// Texts written on a box of their paper colour, as the S/N ratio chart writes
// its figures and labels: each text is drawn once, with a margin for glyphs
// that reach out of the box, and copied wherever it is written again. The
// chart writes the same few numbers for every satellite it draws.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>

namespace veltrano {

class BoxedTexts {
 public:
  // `text` with its character cell's top-left corner at `at`, in `ink` on a
  // box of `paper` the size of the cell; `font` draws without antialiasing,
  // so every pixel is either ink or untouched.
  void write(QPainter& p, QPoint at, const QString& text, const QFont& font, const QColor& ink, const QColor& paper);

 private:
  static constexpr int kMargin = 4;
  // Enough for every number of every colour the chart shows; more start afresh.
  static constexpr qsizetype kMostBoxes = 1024;

  QImage drawBox(const QString& text, const QFont& font, const QColor& ink, const QColor& paper) const;

  QHash<QString, QImage> boxes_;
};

}  // namespace veltrano
