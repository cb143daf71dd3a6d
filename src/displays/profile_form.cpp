#include "displays/profile_form.h"

#include <QShowEvent>
#include <cmath>

#include "displays/auto_label.h"
#include "displays/plot_image.h"
#include "displays/up_down.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);

// "+5 m" or "-5 m" for a scale of 5 m.
QString scaleText(char sign, float scale) {
  return QStringLiteral("%1%2 m").arg(QLatin1Char(sign)).arg(qint64(std::trunc(scale)));
}

AutoLabel* scaleLabel(QWidget* parent, const char* name, int x, int y, const char* text) {
  AutoLabel* label = AutoLabel::left(parent, name, x, y, QString::fromLatin1(text), true);
  label->setTextColor(kBlack);
  return label;
}

}  // namespace

TProfileForm::TProfileForm(int32_t& maxAltValue)
    : ToolForm("TProfileForm", 848, 94),
      maxAltValue_(maxAltValue),
      altImage_(new PlotImage(this, QRect(8, 21, kProfileWidth, kProfileHeight))),
      plusLabel_(scaleLabel(this, "PlusLabel", 740, 20, "+ 0 m")),
      minusLabel_(scaleLabel(this, "MinusLabel", 744, 80, "- 0 m")),
      maxAltUpDown_(
          new UpDown(this, "maxAltUpDown", QRect(748, 40, 16, 33), 0, kProfileScalePositions - 1, 1, Qt::Vertical)) {
  addTitleStrip(QStringLiteral("PROFILE"), QRect(2, 2, 843, 17));
  altImage_->setObjectName(QStringLiteral("AltImage"));
  altImage_->unsetCursor();
  connect(maxAltUpDown_, &UpDown::clicked, this, &TProfileForm::maxAltUpDownClick);
}

void TProfileForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  // Restoring a minimised window is no new show.
  if (!event->spontaneous()) FormShow();
}

void TProfileForm::FormShow() {
  maxAltUpDown_->setPosition(maxAltValue_);
  profileScale = profileScales[size_t(maxAltUpDown_->position())];
  resetProfile();
}

void TProfileForm::maxAltUpDownClick(bool up) {
  maxAltUpDown_->setPosition(maxAltUpDown_->position() + (up ? 1 : -1));
  maxAltValue_ = maxAltUpDown_->position();
  const float scale = profileScales[size_t(maxAltValue_)];
  // At an end of the range the click moves nothing, and the chart is kept.
  if (scale == profileScale) return;
  profileScale = scale;
  resetProfile();
}

void TProfileForm::resetProfile() {
  keptCount_ = 0;
  drawEmptyProfile(profileBitmap);
  lastRow_.reset();
  altImage_->showLayer(profileBitmap);
  plusLabel_->setCaption(scaleText('+', profileScale));
  minusLabel_->setCaption(scaleText('-', profileScale));
}

void TProfileForm::addProfilePoint(double delta) {
  if (keptCount_ == kProfileWidth) {
    rowBeforeKept_ = keptRows_[size_t(keptFirst_)];
    keptFirst_ = (keptFirst_ + 1) % kProfileWidth;
    --keptCount_;
  } else if (keptCount_ == 0) {
    rowBeforeKept_ = lastRow_;
  }
  keptRows_[size_t((keptFirst_ + keptCount_) % kProfileWidth)] = profileRow(delta, profileScale);
  ++keptCount_;
  lastRow_ = keptRows_[size_t((keptFirst_ + keptCount_ - 1) % kProfileWidth)];
  if (!drawingHeld()) drawKept();
}

void TProfileForm::drawKept() {
  if (keptCount_ == 0) return;
  const int n = keptCount_;
  if (n < kProfileWidth)
    copyRect(altImage_->picture(), QRect(n, 0, kProfileWidth - n, kProfileHeight), profileBitmap, QPoint(0, 0));
  std::optional<int> previous = rowBeforeKept_;
  for (int i = 0; i < n; ++i) {
    const int x = kProfileWidth - n + i;
    drawNewColumn(profileBitmap, x);
    const std::optional<int> row = keptRows_[size_t((keptFirst_ + i) % kProfileWidth)];
    // Joined to the previous point, one column to the left.
    if (row)
      drawSegment(profileBitmap, QPoint(previous ? x - 1 : x, previous.value_or(*row)), QPoint(x, *row), kProfileTrace);
    previous = row;
  }
  keptCount_ = 0;
  altImage_->showLayer(profileBitmap);
}

}  // namespace veltrano
