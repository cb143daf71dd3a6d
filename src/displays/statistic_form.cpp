#include "displays/statistic_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <string>

#include "displays/auto_label.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
constexpr const char* kNoLimit = "0.0";

QString shown(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

AutoLabel* caption(QWidget* parent, const char* name, int x, int y, const char* text) {
  AutoLabel* label = AutoLabel::left(parent, name, x, y, QString::fromLatin1(text), false);
  label->setTextColor(kBlack);
  return label;
}

AutoLabel* value(QWidget* parent, const char* name, int x, int y, const std::string& text) {
  AutoLabel* label = AutoLabel::left(parent, name, x, y, shown(text), true);
  label->setTextColor(kBlack);
  return label;
}

// A right-aligned value whose design-time text starts at `left`; later texts
// keep the right edge that design-time text had.
AutoLabel* rightValue(QWidget* parent, const char* name, int left, int y, const std::string& text) {
  QLabel probe;
  probe.setFont(smallFont(true));
  probe.setTextFormat(Qt::PlainText);
  probe.setText(shown(text));
  AutoLabel* label = AutoLabel::right(parent, name, left + probe.sizeHint().width(), y, shown(text), true);
  label->setTextColor(kBlack);
  return label;
}

// One digit, a point and one digit: 0.0 to 9.9.
QLineEdit* limitEdit(QWidget* parent, const char* name, int x, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(x, y, 23, 13);
  edit->setFrame(false);
  edit->setTextMargins(0, 0, 0, 0);
  edit->setInputMask(QStringLiteral("9.9;_"));
  edit->setText(QString::fromLatin1(kNoLimit));
  return edit;
}

// Caption left of the box.
QCheckBox* filterBox(QWidget* parent, const char* name, int x, int y, const char* text, bool ticked) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setLayoutDirection(Qt::RightToLeft);
  box->setGeometry(x, y, 52, 13);
  box->setChecked(ticked);
  return box;
}

}  // namespace

TStatisticForm::TStatisticForm(PositionStatistics& statistics)
    : ToolForm("TStatisticForm", 421, 60), filter_(statistics) {
  addTitleStrip(QStringLiteral("STATISTIC"), QRect(2, 2, 416, 17));
  const StatisticTexts& t = filter_.texts();
  caption(this, "Label1", 4, 20, "B:");
  latLabel_ = value(this, "LatLabel", 22, 20, t.lat);
  caption(this, "Label2", 4, 32, "L:");
  lonLabel_ = value(this, "LonLabel", 16, 32, t.lon);
  caption(this, "Label3", 4, 44, "H:");
  altLabel_ = value(this, "AltLabel", 20, 44, t.alt);
  caption(this, "Label4", 108, 20, "rms2D:");
  rms2DLabel_ = rightValue(this, "rms2DLabel", 161, 20, t.rms2D);
  caption(this, "Label5", 108, 32, "rmsH:");
  rmsHLabel_ = rightValue(this, "rmsHLabel", 161, 32, t.rmsH);
  caption(this, "Label6", 108, 44, "rmsV:");
  rmsVLabel_ = rightValue(this, "rmsVLabel", 161, 44, t.rmsV);
  caption(this, "Label7", 200, 20, "N:");
  nLabel_ = rightValue(this, "NLabel", 260, 20, t.n);
  caption(this, "Label8", 200, 32, "Nall:");
  nallLabel_ = rightValue(this, "NallLabel", 260, 32, t.nall);
  caption(this, "Label11", 200, 44, "Nanom:");
  nanomLabel_ = rightValue(this, "NanomLabel", 260, 44, t.nanom);
  caption(this, "Label9", 273, 20, "max HDOP:");
  hdopEdit_ = limitEdit(this, "HDOPEdit", 335, 20);
  caption(this, "Label10", 273, 32, "max VDOP:");
  vdopEdit_ = limitEdit(this, "VDOPEdit", 335, 32);
  const StatisticSettings& s = filter_.settings;
  diffCheckBox_ = filterBox(this, "DiffCheckBox", 365, 20, "DIFF:", s.diffOnly);
  obsCheckBox_ = filterBox(this, "ObsCheckBox", 365, 32, "OBS:", s.obs);
  threeDCheckBox_ = filterBox(this, "_3DCheckBox", 365, 44, "3D:", s.threeDOnly);

  // A change of a limit or a box applies from the next solution.
  const auto watchLimit = [this](QLineEdit* edit, DopLimit& limit) {
    connect(edit, &QLineEdit::textChanged, this,
            [&limit](const QString& text) { limit = DopLimit::fromText(text.toLatin1().toStdString()); });
  };
  watchLimit(hdopEdit_, filter_.settings.maxHdop);
  watchLimit(vdopEdit_, filter_.settings.maxVdop);
  connect(diffCheckBox_, &QCheckBox::toggled, this, [this](bool ticked) { filter_.settings.diffOnly = ticked; });
  connect(obsCheckBox_, &QCheckBox::toggled, this, [this](bool ticked) {
    filter_.settings.obs = ticked;
    emit obsToggled(ticked);
  });
  connect(threeDCheckBox_, &QCheckBox::toggled, this, [this](bool ticked) { filter_.settings.threeDOnly = ticked; });
}

bool TStatisticForm::updateStatistic(const Fix& fix) {
  const bool accepted = filter_.update(fix);
  textsKept_ = true;
  if (!drawingHeld()) drawKept();
  return accepted;
}

void TStatisticForm::resetStatisticDisplay() {
  filter_.resetStatisticDisplay();
  showTexts();
}

void TStatisticForm::drawKept() {
  if (textsKept_) showTexts();
}

bool TStatisticForm::obsChecked() const { return obsCheckBox_->isChecked(); }

void TStatisticForm::showTexts() {
  textsKept_ = false;
  const StatisticTexts& t = filter_.texts();
  latLabel_->setCaption(shown(t.lat));
  lonLabel_->setCaption(shown(t.lon));
  altLabel_->setCaption(shown(t.alt));
  rms2DLabel_->setCaption(shown(t.rms2D));
  rmsHLabel_->setCaption(shown(t.rmsH));
  rmsVLabel_->setCaption(shown(t.rmsV));
  nLabel_->setCaption(shown(t.n));
  nallLabel_->setCaption(shown(t.nall));
  nanomLabel_->setCaption(shown(t.nanom));
}

}  // namespace veltrano
