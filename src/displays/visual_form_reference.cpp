// The Visual window's controls that move the reference point or change the
// scale: the three reference edits, Set Current, Set Statistic, the
// double-click on the plot, the radius selector and Clear.
#include <QByteArray>
#include <optional>
#include <string_view>

#include "displays/reference_point.h"
#include "displays/visual_form.h"

namespace veltrano {

namespace {

const QColor kValid(0, 0, 0);
const QColor kInvalid(255, 0, 0);

void setTextColour(QLineEdit* edit, const QColor& colour) {
  QPalette palette = edit->palette();
  if (palette.color(QPalette::Text) == colour) return;
  palette.setColor(QPalette::Text, colour);
  edit->setPalette(palette);
}

// Sets a text only when it differs, so that only a changed text is read back.
void setEditText(QLineEdit* edit, const std::string& text) {
  const QString shown = QString::fromLatin1(text.data(), qsizetype(text.size()));
  if (edit->displayText() != shown) edit->setText(shown);
}

// The angle of a coordinate edit's text, as shown with its blanks; the edit
// is red when the text gives none.
std::optional<double> readCoordinateEdit(QLineEdit* edit, std::optional<double> (*read)(std::string_view)) {
  const QByteArray text = edit->displayText().toLatin1();
  const std::optional<double> angle = read(std::string_view(text.constData(), size_t(text.size())));
  setTextColour(edit, angle ? kValid : kInvalid);
  return angle;
}

}  // namespace

void TVisualForm::connectControls() {
  connect(c_.latEdit, &QLineEdit::textChanged, this, [this] { LatEditChange(); });
  connect(c_.lonEdit, &QLineEdit::textChanged, this, [this] { LonEditChange(); });
  connect(c_.altEdit, &QLineEdit::textChanged, this, [this] { AltEditChange(); });
  connect(c_.rUpDown, &UpDown::clicked, this, &TVisualForm::RUpDownClick);
  const auto onClick = [this](QToolButton* button, QAction* item, void (TVisualForm::*handler)()) {
    connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  onClick(c_.clearButton, c_.clearItem, &TVisualForm::ClearButtonClick);
  onClick(c_.copyButton, c_.copyItem, &TVisualForm::CopyButtonClick);
  onClick(c_.setCurrentButton, c_.setCurrentItem, &TVisualForm::SetCurrentButtonClick);
  onClick(c_.setStatisticButton, c_.setStatisticItem, &TVisualForm::SetStatisticButtonClick);
  connect(c_.optionsItem, &QAction::triggered, this, &TVisualForm::OptionsItemClick);
  connect(c_.image, &PlotImage::pressed, this, &TVisualForm::ImageMouseDown);
  connect(c_.image, &PlotImage::doubleClicked, this, &TVisualForm::ImageDblClick);
}

void TVisualForm::scaleFromPosition() {
  plotRadius = plotRadiusAt(c_.rUpDown->position());
  pixelsPerMetre = pixelsPerMetreFor(plotRadius);
}

void TVisualForm::fillReferenceEdits() {
  setEditText(c_.latEdit, referenceLatitudeText(refLat));
  setEditText(c_.lonEdit, referenceLongitudeText(refLon));
  setEditText(c_.altEdit, referenceHeightText(refHeight));
}

void TVisualForm::LatEditChange() {
  const std::optional<double> latitude = readCoordinateEdit(c_.latEdit, readReferenceLatitude);
  if (!latitude) return;
  refLat = *latitude;
  resetPlot();
  emit redrawWanted();
}

void TVisualForm::LonEditChange() {
  const std::optional<double> longitude = readCoordinateEdit(c_.lonEdit, readReferenceLongitude);
  if (!longitude) return;
  refLon = *longitude;
  resetPlot();
  emit redrawWanted();
}

// The text without its unfilled places: a blank left in the sign's place
// does not hide the digits after it.
void TVisualForm::AltEditChange() {
  const QByteArray text = c_.altEdit->text().toLatin1();
  refHeight = readReferenceHeight(std::string_view(text.constData(), size_t(text.size())));
}

void TVisualForm::moveReference(double latitude, double longitude, double height) {
  if (!isReferencePosition(latitude, longitude, height)) return;
  refLat = latitude;
  refLon = longitude;
  refHeight = height;
  fillReferenceEdits();
  resetPlot();
  emit redrawWanted();
}

void TVisualForm::SetCurrentButtonClick() { moveReference(currentLat, currentLon, currentHeight); }

void TVisualForm::SetStatisticButtonClick() {
  const MeanPosition mean = sources_.statisticMean();
  moveReference(mean.latitude, mean.longitude, mean.height);
}

void TVisualForm::ImageMouseDown(QPoint at) {
  clickX = at.x();
  clickY = at.y();
}

void TVisualForm::ImageDblClick() {
  const ReferenceAngles moved = recentredReference(refLat, refLon, plotRadius, clickX, clickY);
  refLat = moved.latitude;
  refLon = moved.longitude;
  fillReferenceEdits();
  resetPlot();
  emit redrawWanted();
}

void TVisualForm::RUpDownClick(bool up) {
  c_.rUpDown->setPosition(c_.rUpDown->position() + (up ? 1 : -1));
  radiusValue_ = c_.rUpDown->position();
  scaleFromPosition();
  resetPlot();
  emit redrawWanted();
}

void TVisualForm::OptionsItemClick() {
  emit optionsWanted(c_.image->mapToGlobal(c_.image->rect().center()));
}

void TVisualForm::ClearButtonClick() {
  resetPlot();
  emit clearPointsWanted();
}

}  // namespace veltrano
