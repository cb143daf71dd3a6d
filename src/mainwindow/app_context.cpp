#include "mainwindow/app_context.h"

#include "control/control_form.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "mainwindow/about_form.h"
#include "mainwindow/display_router.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/recording.h"
#include "mainwindow/timer_form.h"

namespace veltrano {

AppContext::AppContext(const QStringList& arguments) {
  const auto sleep = [this](int ms) { sleepMs(ms); };
  mainForm = std::make_unique<TMainForm>(transport, arguments);
  aboutForm = std::make_unique<TAboutForm>();
  visualForm = std::make_unique<TVisualForm>(transport.radiusValue);
  positionForm = std::make_unique<TPositionForm>();
  profileForm = std::make_unique<TProfileForm>();
  satellitesForm = std::make_unique<TSatellitesForm>();
  snrForm = std::make_unique<TSNRForm>();
  statisticForm = std::make_unique<TStatisticForm>(statistics);
  timerForm = std::make_unique<TTimerForm>();
  optionsForm = std::make_unique<TOptionsForm>();
  // A byte travels: reader thread -> hand-off -> intake -> fan-out -> router -> window.
  router = std::make_unique<DisplayRouter>(
      RoutedWindows{*mainForm, *positionForm, *statisticForm, *satellitesForm, *visualForm, *snrForm,
                    {mainForm.get(), positionForm.get(), statisticForm.get(), satellitesForm.get(), visualForm.get(),
                     profileForm.get(), snrForm.get()}});
  fanOut = std::make_unique<MessageFanOut>(*receiver, transport, *router, conversionWriter);
  intake = std::make_unique<StreamIntake>(transport, *fanOut, *router);
  serialLink = std::make_unique<SerialLink>(*intake);
  commandWriter = std::make_unique<CommandWriter>(*serialLink, transport.binrCommandCrc);
  // The Control window sends through the command writers, so it comes after them.
  controlForm = std::make_unique<TControlForm>(*commandWriter, transport);
  mainForm->attachWindows({positionForm.get(), statisticForm.get(), satellitesForm.get(), visualForm.get(),
                           profileForm.get(), snrForm.get(), controlForm.get()},
                          aboutForm.get(),
                          {aboutForm.get(), visualForm.get(), controlForm.get(), positionForm.get(), profileForm.get(),
                           satellitesForm.get(), snrForm.get(), statisticForm.get(), timerForm.get(),
                           optionsForm.get()});
  connectWindows();
  recording = std::make_unique<Recording>(*mainForm, transport, *receiver, *serialLink, *commandWriter,
                                          conversionWriter, sleep);
  router->attachRecording(*recording);
  synchronisation = std::make_unique<Synchronisation>(*mainForm, transport, *receiver, *serialLink, *commandWriter,
                                                      sleep);
  fanOut->attachSynchronisation(*synchronisation);
  playback = std::make_unique<Playback>(*mainForm, transport, *receiver, *intake, conversionWriter);
  protocolSwitch =
      std::make_unique<ProtocolSwitch>(*mainForm, transport, *serialLink, *commandWriter, *satellitesForm,
                                                    *controlForm, sleep);
  connectServices();
}

// What the windows tell each other.
void AppContext::connectWindows() {
  TMainForm* main = mainForm.get();
  // An estimated NMEA fix shows as "OLD" while the Statistic window rejects such fixes.
  positionForm->setEstimatedShownStale(statisticForm->obsChecked());
  QObject::connect(statisticForm.get(), &TStatisticForm::obsToggled, positionForm.get(),
                   &TPositionForm::setEstimatedShownStale);
  QObject::connect(main, &TMainForm::statisticTicked, main, [this] { restartStatistics(); });
  QObject::connect(main, &TMainForm::positionSourceChosen, main,
                   [this](NmeaPositionSource source) { receiver->nmea.positionSource = int32_t(source); });
  main->attachTimer(timerForm.get());
  QObject::connect(timerForm.get(), &TTimerForm::scheduledStart, main, &TMainForm::scheduledStart);
  QObject::connect(timerForm.get(), &TTimerForm::scheduledStop, main, &TMainForm::scheduledStop);
}

// What the main window's buttons start, and what the services tell each other.
void AppContext::connectServices() {
  TMainForm* main = mainForm.get();
  Synchronisation* sync = synchronisation.get();
  QObject::connect(main, &TMainForm::portListWanted, main, [sync] { sync->refreshPortList(); });
  QObject::connect(main, &TMainForm::synchroClicked, main, [sync](bool sender) { sync->SynchroButtonClick(sender); });
  QObject::connect(main, &TMainForm::searchTick, main, [sync] { sync->SynchroTimerTimer(); });
  QObject::connect(main, &TMainForm::searchStopped, main, [sync](bool sender) { sync->stopSearch(sender); });

  ProtocolSwitch* protocols = protocolSwitch.get();
  QObject::connect(main, &TMainForm::protocolChosen, main,
                   [protocols](bool sender) { protocols->ProtComboBoxChange(sender); });
  QObject::connect(main, &TMainForm::fileProtocolChosen, main,
                   [protocols](ReceiverProtocol protocol) { protocols->selectForFile(protocol); });

  Recording* rec = recording.get();
  QObject::connect(main, &TMainForm::recordClicked, rec, &Recording::RecordButtonClick);
  QObject::connect(main, &TMainForm::recordingStopped, rec, &Recording::stopRecording);
  QObject::connect(main, &TMainForm::watchdogTick, rec, &Recording::WatchTimerTimer);
  QObject::connect(rec, &Recording::searchWanted, main, [sync] { sync->SynchroButtonClick(false); });
  QObject::connect(rec, &Recording::started, main, [this] { clearDisplays(); });

  Playback* play = playback.get();
  QObject::connect(main, &TMainForm::ejectClicked, play, &Playback::EjectButtonClick);
  QObject::connect(main, &TMainForm::playClicked, play, &Playback::PlayButtonClick);
  QObject::connect(main, &TMainForm::rewindClicked, play, &Playback::RewindButtonClick);
  QObject::connect(main, &TMainForm::pauseClicked, play, &Playback::PauseButtonClick);
  QObject::connect(main, &TMainForm::playbackStopped, play, &Playback::stopPlayback);
  QObject::connect(play, &Playback::started, main, [this] { clearDisplays(); });
}

void AppContext::clearDisplays() {
  satellitesForm->clearSatelliteStatus();
  visualForm->resetPlot();
  snrForm->clearSnrChart();
  restartStatistics();
}

void AppContext::restartStatistics() {
  resetPositionStatistics(statistics);
  statisticForm->resetStatisticDisplay();
}

// The tool windows go first, the main window last; no playback thread or
// reader may outlive the windows and decoders it feeds.
AppContext::~AppContext() {
  protocolSwitch.reset();
  playback.reset();
  commandWriter.reset();
  serialLink.reset();
  synchronisation.reset();
  intake.reset();
  fanOut.reset();
  router.reset();
  recording.reset();
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
