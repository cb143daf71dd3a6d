#pragma once
// The program's live work without a window: the serial link with its reader, the
// stream intake and per-message fan-out, the synchronisation, Record with its
// watchdog and the NMEA conversion of binary streams, connected as the program
// connects them and driven by the same timers on the main thread. The session is
// the panel they read and show on: what the main window would show, it keeps and
// tells the command that runs it. Needs a running QCoreApplication.
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "decoding/fan_out_sinks.h"
#include "decoding/message_fan_out.h"
#include "decoding/nmea_conversion_writer.h"
#include "decoding/receiver.h"
#include "decoding/stream_intake.h"
#include "decoding/transport_fields.h"
#include "link/command_writer.h"
#include "link/record_panel.h"
#include "link/recording.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "live_options.h"

namespace veltrano {

class LiveSession : public RecordPanel, private NoDisplay, private IntakeSink {
 public:
  // `debugData` is the "DBG data" box.
  LiveSession(const LinkOptions& link, bool debugData);
  ~LiveSession() override;
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  // Synchronise, Record and Stop as the user starts them.
  void synchronise();
  void startRecording();
  void stopByUser();

  const TransportFields& transport() const { return transport_; }
  const QString& infoText() const { return info_; }
  // The last search found the receiver.
  bool connected() const;

  // What the command hears of, each on the main thread.
  std::function<void(const QString& text)> infoChanged = [](const QString&) {};
  // A recording began: its record file was created, the receiver is not yet
  // configured. For BINR and BINR2 the conversion file beside it opens once the
  // receiver is; a Record that did not start is `recordingRefused`.
  std::function<void(const std::string& record)> recordingStarted = [](const std::string&) {};
  std::function<void(const std::string& conversion)> conversionOpened = [](const std::string&) {};
  std::function<void()> recordingRefused = [] {};
  // A recording ended: its files are closed (`conversion` empty without one).
  std::function<void(const std::string& record, const std::string& conversion)> recordingClosed =
      [](const std::string&, const std::string&) {};
  // Stop left `state`; `sender` when the user stopped.
  std::function<void(TransportState state, bool sender)> stopped = [](TransportState, bool) {};
  // Every navigation solution decoded while recording.
  std::function<void(const Fix& fix)> solution = [](const Fix&) {};

  // SyncPanel
  QString portName() const override { return portName_; }
  void setPortEntries(const QStringList& entries) override;
  QString baudText() const override { return baudText_; }
  void selectBaudItem(int32_t baud) override;
  QString deviceText() const override { return device_; }
  void showDevice(const QString& text) override { device_ = text; }
  void showFileName(const QString& text) override { fileName_ = text; }
  void showInfo(const QString& text) override;
  void showErrorCount(const QString&) override {}
  void startSearchTimer(int intervalMs) override { searchTimer_.start(intervalMs); }
  void stopSearchTimer() override { searchTimer_.stop(); }
  void enterSync() override { transport_.transportState = TransportState::SYNC; }
  void stop() override { StopButtonClick(false); }
  void record() override { RecordButtonClick(false); }

  // RecordPanel
  QString fileName() const override { return fileName_; }
  void resetCounters() override;
  void enterState(TransportState state) override { transport_.transportState = state; }
  void startWatchdog() override;
  bool debugDataWanted() const override { return debugData_; }

 private:
  void StopButtonClick(bool sender);
  void RecordButtonClick(bool sender);

  // DisplaySink
  void showSolution(const Fix& fix, const SolutionSatellites*) override { solution(fix); }
  void showDevice(std::string_view text) override;
  // IntakeSink
  void blockRecorded(int32_t) override { recording_.blockRecorded(); }
  void showReceivedTotal(int64_t) override {}
  void repaintWindows() override {}

  TransportFields transport_;
  std::unique_ptr<Receiver> receiver_ = std::make_unique<Receiver>();
  NmeaConversionWriter conversion_;
  MessageFanOut fanOut_;
  StreamIntake intake_;
  SerialLink link_;
  CommandWriter commands_;
  Synchronisation synchronisation_;
  Recording recording_;
  QTimer searchTimer_;  // SynchroTimer
  QTimer watchTimer_;   // WatchTimer

  const QString portName_;
  const bool debugData_;
  QString baudText_;
  QString device_ = QStringLiteral("unknown");
  QString fileName_;
  QString info_;
};

}  // namespace veltrano
