#include "displays/options_form.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <algorithm>

#include "displays/auto_label.h"
#include "displays/window_placement.h"

namespace veltrano {

namespace {

// A green tick to accept, a red cross to cancel.
QIcon answerGlyph(bool accept) {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  if (accept) {
    p.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
  } else {
    p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  }
  p.end();
  return QIcon(picture);
}

QToolButton* answerButton(QWidget* parent, const char* name, int x, bool accept) {
  return flatButton(parent, name, QRect(x, 44, 23, 22), answerGlyph(accept), QSize(16, 16));
}

}  // namespace

TOptionsForm::TOptionsForm(int32_t& maxPoints) : ToolForm("TOptionsForm", 132, 71), maxPoints_(maxPoints) {
  addTitleStrip(QStringLiteral("OPTIONS"), QRect(4, 2, 125, 17));
  AutoLabel::left(this, "Label1", 8, 25, QStringLiteral("Points:"), false)->setTextColor(QColor(0, 0, 0));
  pointsEdit_ = new QLineEdit(this);
  pointsEdit_->setObjectName(QStringLiteral("PointsEdit"));
  pointsEdit_->setGeometry(66, 25, 58, 13);
  pointsEdit_->setFrame(false);
  pointsEdit_->setFont(smallFont(true));
  pointsEdit_->setTextMargins(0, 0, 0, 0);
  pointsEdit_->setAlignment(Qt::AlignRight);
  pointsEdit_->setInputMask(QStringLiteral("000000;_"));
  pointsEdit_->setText(QStringLiteral("000000"));
  onButton_ = answerButton(this, "onButton", 26, true);
  offButton_ = answerButton(this, "offButton", 82, false);
  connect(onButton_, &QToolButton::clicked, this, &TOptionsForm::onButtonClick);
  connect(offButton_, &QToolButton::clicked, this, &TOptionsForm::offButtonClick);
  setWindowModality(Qt::ApplicationModal);
}

void TOptionsForm::showCentredOn(QPoint centre) {
  placeInside(*this, centre - QPoint(width() / 2, height() / 2), *this);
  show();
  raise();
  activateWindow();
}

void TOptionsForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// A capacity the six places cannot show (from a hand-edited settings file)
// shows as the nearest one they can.
void TOptionsForm::FormShow() {
  pointsEdit_->setText(QString::asprintf("%06d", int(std::clamp(maxPoints_, 0, 999999))));
}

// The digits typed; places left blank do not count.
void TOptionsForm::onButtonClick() {
  maxPoints_ = pointsEdit_->text().toInt();
  close();
}

void TOptionsForm::offButtonClick() { close(); }

}  // namespace veltrano
