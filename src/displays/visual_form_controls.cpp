#include "displays/visual_form_controls.h"

#include <QFontMetrics>

#include "displays/plot_geometry.h"
#include "displays/tool_form.h"
#include "displays/visual_glyphs.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
constexpr int kValueLeft = 374;
constexpr const char* kZeroOffset = "0.000 m";
constexpr int kDesignPosition = 1;
constexpr int kDesignMaximum = 62;

void caption(QWidget* parent, const char* name, int x, int y, const char* text) {
  AutoLabel::left(parent, name, x, y, QString::fromLatin1(text), false)->setTextColor(kBlack);
}

// A bold value placed with its left edge at x for its design-time text; from
// then on it keeps its right edge.
AutoLabel* offsetLabel(QWidget* parent, const char* captionName, const char* captionText, const char* name, int y) {
  caption(parent, captionName, 316, y, captionText);
  const QString text = QString::fromLatin1(kZeroOffset);
  const int rightEdge = kValueLeft + QFontMetrics(smallFont(true)).horizontalAdvance(text);
  AutoLabel* label = AutoLabel::right(parent, name, rightEdge, y, text, true);
  label->setTextColor(kBlack);
  return label;
}

QLineEdit* maskedEdit(QWidget* parent, const char* name, const QRect& place, const QString& mask, const QString& text) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(place);
  edit->setFrame(false);
  edit->setFont(smallFont(true));
  edit->setTextMargins(0, 0, 0, 0);
  edit->setInputMask(mask);
  edit->setText(text);
  return edit;
}

QToolButton* flatButton(QWidget* parent, const char* name, int x, VisualGlyph glyph, const char* hint) {
  return veltrano::flatButton(parent, name, QRect(x, 104, 23, 22), visualGlyph(glyph), QSize(16, 16), hint);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QRect& place, const char* text, bool checked) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(place);
  box->setChecked(checked);
  return box;
}

QAction* menuItem(QMenu* menu, const char* name, const char* text, VisualGlyph glyph) {
  QAction* item = menu->addAction(visualGlyph(glyph), QString::fromLatin1(text));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

void buildPlot(QWidget* form, VisualFormControls& c) {
  c.image = new PlotImage(form, QRect(4, 24, kPlotSize, kPlotSize));
  c.image->setObjectName(QStringLiteral("Image"));
  c.imagePopupMenu = new QMenu(form);
  c.imagePopupMenu->setObjectName(QStringLiteral("ImagePopupMenu"));
  c.clearItem = menuItem(c.imagePopupMenu, "ClearItem", "Clear", VisualGlyph::Clear);
  c.copyItem = menuItem(c.imagePopupMenu, "CopyItem", "Copy", VisualGlyph::Copy);
  c.imagePopupMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
  c.setCurrentItem = menuItem(c.imagePopupMenu, "SetCurrentItem", "Set Current", VisualGlyph::SetCurrent);
  c.setStatisticItem = menuItem(c.imagePopupMenu, "SetStatisticItem", "Set Statistic", VisualGlyph::SetStatistic);
  c.optionsItem = menuItem(c.imagePopupMenu, "OptionsItem", "Options...", VisualGlyph::Options);
  c.image->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(c.image, &QWidget::customContextMenuRequested, c.imagePopupMenu,
                   [image = c.image, menu = c.imagePopupMenu](const QPoint& at) { menu->popup(image->mapToGlobal(at)); });
}

void buildReference(QWidget* form, VisualFormControls& c) {
  const QString degree = QString::fromLatin1("\xB0");
  caption(form, "Label1", 316, 24, "B:");
  c.latEdit = maskedEdit(form, "LatEdit", QRect(334, 24, 88, 13), "99" + degree + "99.99999A;_",
                         "00" + degree + "00.00000N");
  caption(form, "Label2", 316, 36, "L:");
  c.lonEdit = maskedEdit(form, "LonEdit", QRect(327, 36, 95, 13), "999" + degree + "99.99999A;_",
                         "000" + degree + "00.00000E");
  caption(form, "Label3", 316, 48, "H:");
  // The first place takes a digit or the sign of a height below 0.
  c.altEdit = maskedEdit(form, "AltEdit", QRect(360, 48, 62, 13), QStringLiteral("#999.99;_"),
                         QStringLiteral("0000.00"));
}

void buildScale(QWidget* form, VisualFormControls& c) {
  caption(form, "Label4", 350, 64, "Radius");
  c.rUpDown = new UpDown(form, "RUpDown", QRect(319, 81, 98, 17), kDesignPosition, kDesignMaximum);
  c.clearButton = flatButton(form, "ClearButton", 320, VisualGlyph::Clear, "Clear");
  c.copyButton = flatButton(form, "CopyButton", 346, VisualGlyph::Copy, "Copy");
  c.setCurrentButton = flatButton(form, "SetCurrentButton", 372, VisualGlyph::SetCurrent, "Set Current");
  c.setStatisticButton = flatButton(form, "SetStatisticButton", 396, VisualGlyph::SetStatistic, "Set Statistic");
}

void buildOffsets(QWidget* form, VisualFormControls& c) {
  c.dBLabel = offsetLabel(form, "Label5", "dB:", "dBLabel", 128);
  c.dMbLabel = offsetLabel(form, "Label6", "dMb:", "dMbLabel", 140);
  c.dLLabel = offsetLabel(form, "Label9", "dL:", "dLLabel", 152);
  c.dMlLabel = offsetLabel(form, "Label10", "dMl:", "dMlLabel", 164);
  c.dHLabel = offsetLabel(form, "Label7", "dH:", "dHLabel", 176);
  c.dMhLabel = offsetLabel(form, "Label8", "dMh:", "dMhLabel", 188);
  c.dXLabel = offsetLabel(form, "Label12", "dX:", "dXLabel", 208);
  c.dMxLabel = offsetLabel(form, "Label13", "dMx:", "dMxLabel", 220);
}

void buildViewBoxes(QWidget* form, VisualFormControls& c) {
  c.cogCheckBox = checkBox(form, "COGCheckBox", QRect(320, 248, 45, 15), "COG", false);
  c.sogCheckBox = checkBox(form, "SOGCheckBox", QRect(376, 248, 45, 15), "SOG", false);
  caption(form, "Label11", 320, 267, "-----SAT");
  c.satCheckBox = checkBox(form, "SatCheckBox", QRect(360, 266, 57, 17), "VIEW---", false);
  c.satSystemPanel = new QFrame(form);
  c.satSystemPanel->setObjectName(QStringLiteral("SatSystemPanel"));
  c.satSystemPanel->setGeometry(316, 282, 107, 47);
  c.satSystemPanel->setFrameStyle(QFrame::NoFrame);
  c.satSystemPanel->setEnabled(false);
  QWidget* panel = c.satSystemPanel;
  c.gpsCheckBox = checkBox(panel, "GPSCheckBox", QRect(4, 0, 49, 17), "GPS", true);
  c.glnCheckBox = checkBox(panel, "GLNCheckBox", QRect(60, 0, 43, 17), "GLN", true);
  c.sbasCheckBox = checkBox(panel, "SBASCheckBox", QRect(4, 16, 49, 17), "SBAS", true);
  c.gllCheckBox = checkBox(panel, "GLLCheckBox", QRect(60, 16, 43, 17), "GLL", true);
  c.bdsCheckBox = checkBox(panel, "BDSCheckBox", QRect(4, 32, 49, 17), "BDS", true);
  colourSystemBoxes(c, false);
}

void setBoxColours(QCheckBox* box, const QColor& background, const QColor& text) {
  box->setAutoFillBackground(true);
  box->setBackgroundRole(QPalette::Window);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, text);
  box->setPalette(palette);
}

}  // namespace

VisualFormControls buildVisualFormControls(QWidget* form) {
  VisualFormControls c{};
  buildPlot(form, c);
  buildReference(form, c);
  buildScale(form, c);
  buildOffsets(form, c);
  buildViewBoxes(form, c);
  return c;
}

void colourSystemBoxes(const VisualFormControls& c, bool skyViewOn) {
  struct Colours {
    QCheckBox* box;
    QColor on;
    QColor off;
  };
  const Colours boxes[] = {
      {c.gpsCheckBox, QColor(0, 0, 255), QColor(0, 0, 127)},
      {c.glnCheckBox, QColor(255, 0, 0), QColor(127, 0, 0)},
      {c.sbasCheckBox, QColor(0, 127, 0), QColor(0, 63, 0)},
      {c.gllCheckBox, QColor(255, 127, 0), QColor(127, 63, 0)},
      {c.bdsCheckBox, QColor(127, 0, 127), QColor(95, 0, 95)},
  };
  for (const Colours& entry : boxes) {
    if (skyViewOn)
      setBoxColours(entry.box, entry.on, kWhite);
    else
      setBoxColours(entry.box, entry.off, kGrey);
  }
}

}  // namespace veltrano
