#include "control/control_form_controls.h"

#include <QFrame>
#include <QPainter>
#include <QPixmap>

#include "displays/tool_form.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kArrow(0, 128, 0);
constexpr int kRowLeft = 4;
constexpr int kRowWidth = 419;
constexpr int kRowHeight = 21;
constexpr int kSendLeft = 390;
constexpr int kElevationMaximum = 90;
constexpr int kMaxRmsMaximum = 1000;
constexpr int kMaxRmsStep = 10;

// A green arrow pointing right, into the receiver.
QIcon sendGlyph() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kArrow);
  p.drawRect(QRectF(2, 6, 7, 4));
  p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(15, 8), QPointF(8, 14)}));
  p.end();
  return QIcon(picture);
}

QFrame* row(QWidget* form, const char* name, int top) {
  auto* panel = new QFrame(form);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setGeometry(kRowLeft, top, kRowWidth, kRowHeight);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(1);
  return panel;
}

void caption(QWidget* panel, const char* name, int x, const char* text) {
  AutoLabel::left(panel, name, x, 4, QString::fromLatin1(text), false)->setTextColor(kBlack);
}

QToolButton* sendButton(QWidget* panel, const char* name, int x) {
  return flatButton(panel, name, QRect(x, 1, 23, 20), sendGlyph(), QSize(16, 16), "Send");
}

QCheckBox* checkBox(QWidget* panel, const char* name, int x, int width, const char* text) {
  auto* box = new QCheckBox(QString::fromLatin1(text), panel);
  box->setObjectName(QString::fromLatin1(name));
  box->setFont(smallFont(true));
  box->setGeometry(x, 2, width, 17);
  box->setChecked(true);
  return box;
}

QRadioButton* radioButton(QWidget* panel, const char* name, int x, const char* text) {
  auto* button = new QRadioButton(QString::fromLatin1(text), panel);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(smallFont(true));
  button->setGeometry(x, 2, 46, 17);
  return button;
}

QLineEdit* edit(QWidget* panel, const char* name, int x, int width) {
  auto* line = new QLineEdit(panel);
  line->setObjectName(QString::fromLatin1(name));
  line->setFont(smallFont(true));
  line->setGeometry(x, 2, width, 17);
  line->setTextMargins(0, 0, 0, 0);
  return line;
}

// A read-only edit that shows the position of the up-down beside it.
QLineEdit* upDownEdit(QWidget* panel, const char* name, int x, int width, UpDown* upDown) {
  QLineEdit* line = edit(panel, name, x, width);
  line->setReadOnly(true);
  line->setText(QString::number(upDown->position()));
  QObject::connect(upDown, &UpDown::clicked, line,
                   [line, upDown] { line->setText(QString::number(upDown->position())); });
  return line;
}

void buildRestartRow(QWidget* form, ControlFormControls& c) {
  QFrame* panel = row(form, "RestartPanel", 20);
  caption(panel, "Label1", 4, "Device Restart:");
  c.coldRadioButton = radioButton(panel, "ColdRadioButton", 80, "Cold");
  c.warmRadioButton = radioButton(panel, "WarmRadioButton", 128, "Warm");
  c.coldRadioButton->setChecked(true);
  c.restartSpeedButton = sendButton(panel, "RestartSpeedButton", kSendLeft);
}

void buildSatSystemRow(QWidget* form, ControlFormControls& c) {
  QFrame* panel = row(form, "Panel1", 41);
  caption(panel, "Label2", 4, "Sat System:");
  c.gpsCheckBox = checkBox(panel, "GPSCheckBox", 64, 46, "GPS");
  c.glnCheckBox = checkBox(panel, "GLNCheckBox", 112, 46, "GLN");
  c.sbasCheckBox = checkBox(panel, "SBASCheckBox", 160, 54, "SBAS");
  c.gllCheckBox = checkBox(panel, "GLLCheckBox", 216, 46, "GLL");
  c.gllCheckBox->setChecked(false);
  c.satSystemSpeedButton = sendButton(panel, "SatSystemSpeedButton", kSendLeft);
}

void buildNavigationRow(QWidget* form, ControlFormControls& c) {
  QFrame* panel = row(form, "Panel2", 62);
  caption(panel, "Label3", 4, "Elevation Mask:");
  c.elevationUpDown =
      new UpDown(panel, "ElevationUpDown", QRect(105, 2, 15, 17), 5, kElevationMaximum, 1, Qt::Vertical);
  c.elevationEdit = upDownEdit(panel, "ElevationEdit", 84, 21, c.elevationUpDown);
  c.elevationSpeedButton = sendButton(panel, "ElevationSpeedButton", 122);

  caption(panel, "Label4", 146, "Max RMS:");
  c.maxRmsUpDown =
      new UpDown(panel, "MaxRMSUpDown", QRect(233, 2, 15, 17), 200, kMaxRmsMaximum, kMaxRmsStep, Qt::Vertical);
  c.maxRmsEdit = upDownEdit(panel, "MaxRMSEdit", 202, 31, c.maxRmsUpDown);
  c.maxRmsSpeedButton = sendButton(panel, "MaxRMSSpeedButton", 248);

  caption(panel, "Label5", 286, "Dynamic Filter:");
  // One digit, a point and one digit, either digit may stay empty.
  c.filterMaskEdit = edit(panel, "FilterMaskEdit", 356, 28);
  c.filterMaskEdit->setInputMask(QStringLiteral("0.0;_"));
  c.filterMaskEdit->setText(QStringLiteral("1.0"));
  c.filterSpeedButton = sendButton(panel, "FilterSpeedButton", kSendLeft);
}

void buildSolutionRow(QWidget* form, ControlFormControls& c) {
  QFrame* panel = row(form, "Panel3", 83);
  caption(panel, "Label6", 4, "PVT Rate:");
  c.pvtRateComboBox = new QComboBox(panel);
  c.pvtRateComboBox->setObjectName(QStringLiteral("PVTRateComboBox"));
  c.pvtRateComboBox->setEditable(false);
  c.pvtRateComboBox->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("10"),
                               QStringLiteral("20"), QStringLiteral("25"), QStringLiteral("50"),
                               QStringLiteral("100")});
  c.pvtRateComboBox->setCurrentIndex(0);
  c.pvtRateComboBox->setGeometry(60, 1, 49, 19);
  caption(panel, "Label7", 112, "Hz");
  c.pvtRateSpeedButton = sendButton(panel, "PVTRateSpeedButton", 130);

  caption(panel, "Label8", 164, "PVT Set:");
  c.twoDCheckBox = checkBox(panel, "_2DCheckBox", 212, 38, "2D");
  c.raimCheckBox = checkBox(panel, "RAIMCheckBox", 252, 52, "RAIM");
  c.pvtSetSpeedButton = sendButton(panel, "PVTSetSpeedButton", kSendLeft);
}

void buildSendRow(QWidget* form, ControlFormControls& c) {
  QFrame* panel = row(form, "Panel4", 311);
  c.beginSendLabel = AutoLabel::left(panel, "BeginSendLabel", 4, 4, QStringLiteral("NMEA Send:    $"), false);
  c.beginSendLabel->setTextColor(kBlack);
  c.sendEdit = edit(panel, "SendEdit", 87, 271);
  c.endSendLabel = AutoLabel::left(panel, "EndSendLabel", 362, 4, QStringLiteral("*XX"), false);
  c.endSendLabel->setTextColor(kBlack);
  c.sendButton = sendButton(panel, "SendButton", kSendLeft);
}

}  // namespace

ControlFormControls buildControlFormControls(QWidget* form) {
  ControlFormControls c{};
  buildRestartRow(form, c);
  buildSatSystemRow(form, c);
  buildNavigationRow(form, c);
  buildSolutionRow(form, c);
  buildSendRow(form, c);
  return c;
}

}  // namespace veltrano
