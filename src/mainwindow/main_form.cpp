#include "mainwindow/main_form.h"

#include "displays/tool_form.h"

namespace veltrano {

QString applicationCaption(const QString& versionString) {
  return QStringLiteral("VELTRANO ") + versionString + QStringLiteral(" (RTK)");
}

TMainForm::TMainForm(AppContext& app) : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint), app_(app) {
  setObjectName(QStringLiteral("TMainForm"));
  setFont(smallFont());
  setFixedSize(421, 132);
  setFrameStyle(QFrame::Panel | QFrame::Raised);

  topPanel_ = new QLabel(this);
  topPanel_->setObjectName(QStringLiteral("TopPanel"));
  topPanel_->setGeometry(0, 0, 421, 25);
  topPanel_->setAlignment(Qt::AlignCenter);
  topPanel_->setFont(smallFont(true));
  topPanel_->setAutoFillBackground(true);
  QPalette palette = topPanel_->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  topPanel_->setPalette(palette);
  topPanel_->setText(applicationCaption(QStringLiteral(VELTRANO_VERSION)));
  setWindowTitle(topPanel_->text());
}

}  // namespace veltrano
