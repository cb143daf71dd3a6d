#pragma once
// The one object that lives for the whole run: it owns the receiver state, the
// windows and the services, creates them in order and connects what they tell
// each other. No window or service reaches anything through it.
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "decoding/message_fan_out.h"
#include "decoding/nmea_conversion_writer.h"
#include "decoding/receiver.h"
#include "decoding/stream_intake.h"
#include "decoding/transport_fields.h"
#include "util/point_ring.h"
#include "util/position_statistics.h"

namespace veltrano {

class TMainForm;
class TAboutForm;
class TVisualForm;
class TControlForm;
class TPositionForm;
class TProfileForm;
class TSatellitesForm;
class TSNRForm;
class TStatisticForm;
class TTimerForm;
class TOptionsForm;
class DisplayRouter;
class FramePacer;
class Playback;
class SerialLink;
class CommandWriter;
class Recording;
class Synchronisation;
class ProtocolSwitch;
class SettingsKeeper;
class ToneDevice;
class SoundAlert;
class PointStore;

// Whether the program reads and writes "veltrano.ini" in the current directory.
enum class SettingsUse { None, File };

class AppContext {
 public:
  // The program keeps its settings; tests leave them alone unless they ask.
  explicit AppContext(const QStringList& arguments = {}, SettingsUse settings = SettingsUse::None);
  ~AppContext();
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  // What the program is doing: the selected protocol, the transport state, the counters.
  TransportFields transport;
  // Decoders and receiver state records.
  std::unique_ptr<Receiver> receiver = std::make_unique<Receiver>();
  PositionStatistics statistics;
  // The plotted positions kept for redrawing the Visual plot; its maxPoints is
  // the capacity the settings file keeps and the Options window edits.
  PointRing pointRing;
  // The NMEA conversion of BINR and BINR2 streams, written beside the raw file.
  NmeaConversionWriter conversionWriter;
  // The program's fixed waits: blocking sleeps on the main thread. Tests replace it.
  std::function<void(int ms)> sleepMs = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  // An alert's sound: the tone of the tone device and the system beep. Tests replace it.
  std::function<void(int frequency, int durationMs)> alertSound;

  // Windows, in the order they are created; the Control window comes after the
  // command writers it sends through.
  std::unique_ptr<TMainForm> mainForm;
  std::unique_ptr<TAboutForm> aboutForm;
  std::unique_ptr<TVisualForm> visualForm;
  std::unique_ptr<TControlForm> controlForm;
  std::unique_ptr<TPositionForm> positionForm;
  std::unique_ptr<TProfileForm> profileForm;
  std::unique_ptr<TSatellitesForm> satellitesForm;
  std::unique_ptr<TSNRForm> snrForm;
  std::unique_ptr<TStatisticForm> statisticForm;
  std::unique_ptr<TTimerForm> timerForm;
  std::unique_ptr<TOptionsForm> optionsForm;

  // Received and played-back blocks enter the decoders at the intake; the
  // fan-out routes each message, the router passes it on to the shown windows,
  // which the pacer has drawn after each block or frame of blocks.
  std::unique_ptr<FramePacer> pacer;
  std::unique_ptr<DisplayRouter> router;
  std::unique_ptr<MessageFanOut> fanOut;
  std::unique_ptr<StreamIntake> intake;
  // Open file, Play, Fast play, Pause and the playback thread.
  std::unique_ptr<Playback> playback;
  // The serial port with its reader, and the command writers of the three protocols.
  std::unique_ptr<SerialLink> serialLink;
  std::unique_ptr<CommandWriter> commandWriter;
  // Record with its record file; the port list and Synchronise.
  std::unique_ptr<Recording> recording;
  std::unique_ptr<Synchronisation> synchronisation;
  // The protocol list.
  std::unique_ptr<ProtocolSwitch> protocolSwitch;
  // The wave output, open from the main window's creation until the program
  // ends, and the alerts that sound through it.
  std::unique_ptr<ToneDevice> toneDevice;
  std::unique_ptr<SoundAlert> soundAlert;
  // veltrano.ini, with SettingsUse::File.
  std::unique_ptr<SettingsKeeper> settingsKeeper;
  // The ring's replay onto the Visual plot, which pauses playback meanwhile.
  std::unique_ptr<PointStore> pointStore;

 private:
  void connectWindows();
  void connectServices();
  // A recording or playback starts: the windows and the statistics start afresh.
  void clearDisplays();
  void restartStatistics();
};

}  // namespace veltrano
