#include "mainwindow/decoding_path.h"

#include <QCoreApplication>

#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "mainwindow/main_form.h"
#include "mainwindow/recording.h"

namespace veltrano {

namespace {
QString shown(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
std::string latin1(const QString& text) { return text.toLatin1().toStdString(); }
}  // namespace

DecodingPath::DecodingPath(AppContext& app)
    : app_(app), intake_(app.mainForm->transport, *this), fanOut_(*app.receiver, app.mainForm->transport, *this) {}

void DecodingPath::recordBlock(const uint8_t* bytes, int32_t length) { app_.recording->recordBlock(bytes, length); }

void DecodingPath::showReceivedBytes(const std::string& text) {
  app_.mainForm->controls().receiveBytesLabel->setCaption(shown(text));
}

void DecodingPath::showErrorCount(const std::string& text) {
  app_.mainForm->controls().errorBytesLabel->setCaption(shown(text));
}

// Draws now what the handlers invalidated, window by window, instead of when the
// event loop next becomes idle; a hidden window has nothing to draw.
void DecodingPath::repaintWindows() {
  QWidget* const windows[] = {app_.mainForm.get(),  app_.positionForm.get(), app_.statisticForm.get(),
                              app_.satellitesForm.get(), app_.visualForm.get(), app_.profileForm.get(),
                              app_.snrForm.get()};
  for (QWidget* window : windows)
    if (window->isVisible()) QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
}

bool DecodingPath::positionChecked() const { return app_.mainForm->controls().positionCheckBox->isChecked(); }
bool DecodingPath::statisticChecked() const { return app_.mainForm->controls().statisticCheckBox->isChecked(); }
bool DecodingPath::satellitesChecked() const { return app_.mainForm->controls().satellitesCheckBox->isChecked(); }
bool DecodingPath::visualChecked() const { return app_.mainForm->controls().visualCheckBox->isChecked(); }
bool DecodingPath::snrChecked() const { return app_.mainForm->controls().snrCheckBox->isChecked(); }
bool DecodingPath::visualSatChecked() const { return app_.visualForm->controls().satCheckBox->isChecked(); }
void DecodingPath::visualRedraw() { app_.visualForm->SatCheckBoxClick(); }

void DecodingPath::showBinrPosition() { app_.positionForm->showBinrPosition(); }
void DecodingPath::showBinr2Position() { app_.positionForm->showBinr2Position(); }
void DecodingPath::showNmeaPosition() { app_.positionForm->showNmeaPosition(); }
void DecodingPath::showBssDiffAge() { app_.positionForm->showBssDiffAge(); }
void DecodingPath::updateBinrStatistic() { app_.statisticForm->updateBinrStatistic(); }
void DecodingPath::updateBinr2Statistic() { app_.statisticForm->updateBinr2Statistic(); }
void DecodingPath::updateNmeaStatistic() { app_.statisticForm->updateNmeaStatistic(); }
void DecodingPath::showBinrSatellites() { app_.satellitesForm->showBinrSatellites(); }
void DecodingPath::showBinr2Satellites() { app_.satellitesForm->showBinr2Satellites(); }
void DecodingPath::showGsaSatellites() { app_.satellitesForm->showGsaSatellites(); }
void DecodingPath::showBssStatus() { app_.satellitesForm->showBssStatus(); }
void DecodingPath::startNewGsaGroup() { app_.satellitesForm->newGsaGroup = true; }

void DecodingPath::writeNmeaCommand(std::string_view text) { app_.commandWriter->writeNmeaCommand(text); }
void DecodingPath::writeBinrCommand(uint8_t id, const uint8_t* data, int n) {
  app_.commandWriter->writeBinrCommand(id, data, n);
}
void DecodingPath::setPortBaud(int32_t baud) { app_.serialLink->setPortBaud(baud); }

std::string DecodingPath::deviceLabel() const { return latin1(app_.mainForm->controls().deviceLabel->text()); }
void DecodingPath::setDeviceLabel(const std::string& text) { app_.mainForm->controls().deviceLabel->setCaption(shown(text)); }
void DecodingPath::setFileLabel(const std::string& text) { app_.mainForm->controls().fileLabel->setCaption(shown(text)); }
void DecodingPath::setInfoLabel(const std::string& text) { app_.mainForm->controls().infoLabel->setCaption(shown(text)); }
std::string DecodingPath::portComboText() const { return latin1(app_.mainForm->controls().portComboBox->currentText()); }

std::optional<int32_t> DecodingPath::selectedBaud() const {
  bool ok = false;
  const int baud = app_.mainForm->controls().baudComboBox->currentText().toInt(&ok);
  if (!ok) return std::nullopt;
  return baud;
}

void DecodingPath::selectBaudItem(int32_t baud) {
  QComboBox* box = app_.mainForm->controls().baudComboBox;
  for (int i = 0; i < box->count(); ++i) {
    bool ok = false;
    if (box->itemText(i).toInt(&ok) == baud && ok) {
      box->setCurrentIndex(i);
      return;
    }
  }
}

void DecodingPath::stopSynchroTimer() { app_.mainForm->controls().synchroTimer->stop(); }
void DecodingPath::stopTransport() { app_.mainForm->StopButtonClick(false); }
void DecodingPath::startRecording() { app_.hooks.recordButtonClick(false); }
void DecodingPath::sleepMs(int ms) { app_.sleepMs(ms); }

}  // namespace veltrano
