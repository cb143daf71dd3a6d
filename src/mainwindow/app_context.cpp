#include "mainwindow/app_context.h"

#include <QApplication>
#include <QMediaDevices>

#include "control/control_form.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "link/command_writer.h"
#include "link/recording.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "mainwindow/about_form.h"
#include "mainwindow/display_router.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/point_store.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/settings_keeper.h"
#include "mainwindow/sound_alert.h"
#include "mainwindow/timer_form.h"
#include "mainwindow/tone_device.h"

namespace veltrano {

namespace {

QString shown(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

QuotedCaptions quotedCaptions(const TMainForm& main, const TPositionForm& position, const TStatisticForm& statistic) {
  const StatisticTexts& t = statistic.texts();
  return QuotedCaptions{main.topPanel()->text(), main.fileName(), main.deviceText(), position.dateText(),
                        shown(t.n), shown(t.nanom), shown(t.rms2D), shown(t.rmsH), shown(t.rmsV)};
}

}  // namespace

AppContext::AppContext(const QStringList& arguments, SettingsUse settings) {
  const auto sleep = [this](int ms) { sleepMs(ms); };
  mainForm = std::make_unique<TMainForm>(transport, arguments);
  // Creating the main window opens the wave output and shows the sound setting.
  toneDevice = std::make_unique<ToneDevice>(QMediaDevices::defaultAudioOutput());
  toneDevice->openToneDevice();
  alertSound = [this](int frequency, int durationMs) {
    toneDevice->playTone(frequency, durationMs);
    QApplication::beep();
  };
  soundAlert = std::make_unique<SoundAlert>(transport, *mainForm, [this](int frequency, int durationMs) {
    alertSound(frequency, durationMs);
  });
  soundAlert->SoundButtonClick();
  aboutForm = std::make_unique<TAboutForm>();
  // Set Statistic and Copy read windows made after the Visual window.
  visualForm = std::make_unique<TVisualForm>(
      transport.radiusValue,
      VisualSources{
          [this] {
            return MeanPosition{statisticForm->meanLat(), statisticForm->meanLon(), statisticForm->meanHeight()};
          },
          [this] { return quotedCaptions(*mainForm, *positionForm, *statisticForm); }});
  positionForm = std::make_unique<TPositionForm>();
  profileForm = std::make_unique<TProfileForm>(transport.maxAltValue);
  satellitesForm = std::make_unique<TSatellitesForm>();
  snrForm = std::make_unique<TSNRForm>();
  statisticForm = std::make_unique<TStatisticForm>(statistics);
  timerForm = std::make_unique<TTimerForm>();
  optionsForm = std::make_unique<TOptionsForm>(pointRing.maxPoints);
  // A byte travels: reader thread -> hand-off -> intake -> fan-out -> router -> window.
  pacer = std::make_unique<FramePacer>(QWidgetList{mainForm.get(), positionForm.get(), statisticForm.get(),
                                                   satellitesForm.get(), visualForm.get(), profileForm.get(),
                                                   snrForm.get()},
                                       std::vector<HeldDrawing*>{mainForm.get(), positionForm.get(),
                                                                 statisticForm.get(), satellitesForm.get(),
                                                                 visualForm.get(), profileForm.get(), snrForm.get()});
  router = std::make_unique<DisplayRouter>(RoutedWindows{*mainForm, *positionForm, *statisticForm, *satellitesForm,
                                                         *visualForm, *snrForm},
                                           *pacer);
  fanOut = std::make_unique<MessageFanOut>(*receiver, transport, *router, conversionWriter);
  intake = std::make_unique<StreamIntake>(transport, *fanOut, *router);
  serialLink = std::make_unique<SerialLink>(*intake, *pacer);
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
  playback = std::make_unique<Playback>(*mainForm, transport, *receiver, *intake, conversionWriter, *pacer);
  pointStore = std::make_unique<PointStore>(pointRing, transport, *playback, *visualForm, [this] {
    return MeanPosition{statisticForm->meanLat(), statisticForm->meanLon(), statisticForm->meanHeight()};
  });
  protocolSwitch =
      std::make_unique<ProtocolSwitch>(*mainForm, transport, *serialLink, *commandWriter, *satellitesForm,
                                                    *controlForm, sleep);
  if (settings == SettingsUse::File) {
    settingsKeeper =
        std::make_unique<SettingsKeeper>(*mainForm, transport, *protocolSwitch, *visualForm, *soundAlert,
                                                      pointRing);
    QObject::connect(mainForm.get(), &TMainForm::settingsWanted, mainForm.get(),
                     [this] { settingsKeeper->loadSettings(); });
  }
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
  // The profile empties with the Visual window's plot and takes its heights while its box is ticked.
  TProfileForm* profile = profileForm.get();
  QObject::connect(visualForm.get(), &TVisualForm::plotReset, profile, &TProfileForm::resetProfile);
  QObject::connect(visualForm.get(), &TVisualForm::heightPlotted, profile, [main, profile](double belowReference) {
    if (main->isTicked(ToolWindow::Profile)) profile->addProfilePoint(belowReference);
  });
  TOptionsForm* options = optionsForm.get();
  QObject::connect(visualForm.get(), &TVisualForm::optionsWanted, options, &TOptionsForm::showCentredOn);
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

  SoundAlert* alerts = soundAlert.get();
  QObject::connect(main, &TMainForm::soundClicked, alerts, &SoundAlert::SoundButtonClick);
  QObject::connect(rec, &Recording::receiverLost, alerts, &SoundAlert::receiverLost);
  QObject::connect(positionForm.get(), &TPositionForm::staleShown, alerts, &SoundAlert::positionStale);

  Playback* play = playback.get();
  QObject::connect(main, &TMainForm::ejectClicked, play, &Playback::EjectButtonClick);
  QObject::connect(main, &TMainForm::playClicked, play, &Playback::PlayButtonClick);
  QObject::connect(main, &TMainForm::rewindClicked, play, &Playback::RewindButtonClick);
  QObject::connect(main, &TMainForm::pauseClicked, play, &Playback::PauseButtonClick);
  QObject::connect(main, &TMainForm::playbackStopped, play, &Playback::stopPlayback);
  QObject::connect(play, &Playback::started, main, [this] { clearDisplays(); });

  // Every plotted position is kept; a new reference point or scale replays
  // them onto the emptied plot, Clear drops them.
  PointStore* points = pointStore.get();
  TVisualForm* visual = visualForm.get();
  QObject::connect(visual, &TVisualForm::pointPlotted, visual,
                   [points](double lat, double lon, double height) { points->addPoint(lat, lon, height); });
  QObject::connect(visual, &TVisualForm::redrawWanted, visual, [points] { points->redrawStoredPoints(); });
  QObject::connect(visual, &TVisualForm::clearPointsWanted, visual, [points] { points->clearPoints(); });
}

void AppContext::clearDisplays() {
  satellitesForm->clearSatelliteStatus();
  visualForm->resetPlot();
  snrForm->clearSnrChart();
  pointStore->clearPoints();
  restartStatistics();
}

void AppContext::restartStatistics() {
  resetPositionStatistics(statistics);
  statisticForm->resetStatisticDisplay();
}

// The tone device closes first, before the windows go, as it does when the
// main window is destroyed, and the point store's replay thread ends and its
// ring is freed. Then the tool windows go, the main window last; no playback
// thread or reader may outlive the windows and decoders it feeds.
AppContext::~AppContext() {
  soundAlert.reset();
  toneDevice->closeToneDevice();
  pointStore.reset();
  if (settingsKeeper) settingsKeeper->saveSettings();
  settingsKeeper.reset();
  protocolSwitch.reset();
  playback.reset();
  commandWriter.reset();
  serialLink.reset();
  synchronisation.reset();
  intake.reset();
  fanOut.reset();
  router.reset();
  pacer.reset();
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
