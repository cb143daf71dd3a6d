#include "mainwindow/app_context.h"

#include "mainwindow/display_router.h"
#include "mainwindow/playback.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "mainwindow/recording.h"

#include "control/control_form.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/about_form.h"
#include "mainwindow/main_form.h"
#include "mainwindow/timer_form.h"

#include <QApplication>

namespace veltrano {

AppContext::AppContext(QStringList arguments) : arguments_(std::move(arguments)) {
  hooks.openConversionFile = [this](const std::string& rawFileName) {
    return conversionWriter.openConversionFile(rawFileName);
  };
  hooks.closeConversionFile = [this] { conversionWriter.closeConversionFile(); };
  mainForm = std::make_unique<TMainForm>(*this);
  aboutForm = std::make_unique<TAboutForm>();
  visualForm = std::make_unique<TVisualForm>(mainForm->transport.radiusValue);
  hooks.resetPlot = [this] { visualForm->resetPlot(); };
  controlForm = std::make_unique<TControlForm>();
  positionForm = std::make_unique<TPositionForm>();
  profileForm = std::make_unique<TProfileForm>();
  satellitesForm = std::make_unique<TSatellitesForm>();
  hooks.clearSatelliteStatus = [this] { satellitesForm->clearSatelliteStatus(); };
  snrForm = std::make_unique<TSNRForm>();
  statisticForm = std::make_unique<TStatisticForm>(statistics);
  hooks.resetStatisticDisplay = [this] { statisticForm->resetStatisticDisplay(); };
  timerForm = std::make_unique<TTimerForm>();
  optionsForm = std::make_unique<TOptionsForm>();
  connectWindows();

  recording = std::make_unique<Recording>(*this);
  hooks.recordButtonClick = [this](bool sender) { recording->RecordButtonClick(sender); };
  hooks.closeRecordFile = [this] { recording->closeRecordFile(); };
  TransportFields& transport = mainForm->transport;
  router = std::make_unique<DisplayRouter>(
      RoutedWindows{*mainForm, *positionForm, *statisticForm, *satellitesForm, *visualForm,
                    {mainForm.get(), positionForm.get(), statisticForm.get(), satellitesForm.get(), visualForm.get(),
                     profileForm.get(), snrForm.get()}},
      *recording);
  fanOut = std::make_unique<MessageFanOut>(*receiver, transport, *router, conversionWriter);
  intake = std::make_unique<StreamIntake>(transport, *fanOut, *router);

  serialLink = std::make_unique<SerialLink>(*intake);
  commandWriter = std::make_unique<CommandWriter>(*serialLink, transport.binrCommandCrc);
  synchronisation = std::make_unique<Synchronisation>(*mainForm, transport, *receiver, *serialLink, *commandWriter,
                                                      [this](int ms) { sleepMs(ms); });
  fanOut->attachSynchronisation(*synchronisation);
  hooks.closePort = [this] { serialLink->closePort(); };
  hooks.writeBinrCommand = [this](uint8_t id, const uint8_t* data, int n) { commandWriter->writeBinrCommand(id, data, n); };
  hooks.writeBinr2Command = [this](const uint8_t* data, int n) { commandWriter->writeBinr2Command(data, n); };
  hooks.synchroButtonClick = [this](bool sender) { synchronisation->SynchroButtonClick(sender); };
  hooks.synchroTimerTimer = [this] { synchronisation->SynchroTimerTimer(); };
  hooks.portComboBoxDropDown = [this] { synchronisation->refreshPortList(); };
  playback = std::make_unique<Playback>(*this);
  hooks.ejectButtonClick = [this] { playback->EjectButtonClick(); };
  hooks.playButtonClick = [this](bool sender) { playback->PlayButtonClick(sender); };
  hooks.rewindButtonClick = [this](bool sender) { playback->RewindButtonClick(sender); };
  hooks.pauseButtonClick = [this] { playback->PauseButtonClick(); };
  hooks.terminatePlayback = [this] { playback->terminatePlayback(); };
  hooks.resumePlayback = [this] { playback->resumePlayback(); };
}

// What the windows tell each other.
void AppContext::connectWindows() {
  // An estimated NMEA fix shows as "OLD" while the Statistic window rejects such fixes.
  positionForm->setEstimatedShownStale(statisticForm->obsChecked());
  QObject::connect(statisticForm.get(), &TStatisticForm::obsToggled, positionForm.get(),
                   &TPositionForm::setEstimatedShownStale);
  // The alert of a lost solution, when sound is on.
  QObject::connect(positionForm.get(), &TPositionForm::staleShown, positionForm.get(), [this] {
    if (!mainForm->transport.soundEnabled) return;
    hooks.playTone(500, 50);
    hooks.beep(500, 50);
  });
}

// The main window's closing steps run while every window still exists; then
// the tool windows go first, the main window last.
AppContext::~AppContext() {
  // No playback thread may outlive the windows and decoders it feeds.
  playback.reset();
  commandWriter.reset();
  serialLink.reset();
  if (mainForm) mainForm->FormDestroy();
  intake.reset();
  fanOut.reset();
  router.reset();
  optionsForm.reset();
  timerForm.reset();
  statisticForm.reset();
  snrForm.reset();
  satellitesForm.reset();
  profileForm.reset();
  positionForm.reset();
  controlForm.reset();
  visualForm.reset();
  aboutForm.reset();
  mainForm.reset();
}

}  // namespace veltrano
