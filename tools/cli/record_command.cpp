#include "record_command.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "checked_output.h"
#include "decoding/statistic_filter.h"
#include "json_writer.h"
#include "live_options.h"
#include "live_session.h"
#include "qt_arguments.h"
#include "statistic_json.h"
#include "stop_signals.h"
#include "util/host_port.h"
#include "util/position_statistics.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli record --port PORT [--protocol nmea|binr|binr2] [--baud RATE] [--raw-data]\n"
    "                           [--duration S] [--dir DIR] [--stats]\n"
    "  Searches for the receiver on PORT as the program's Synchronise does, then records as its\n"
    "  Record does: the receiver is configured for recording and its raw stream goes unchanged\n"
    "  into a file named after the receiver, the port and the time (ABC12_cUSB0_20240501_100000.nme,\n"
    "  .dat, .b2), with the NMEA conversion beside a BINR or BINR2 file (.nme). A receiver that\n"
    "  falls silent for three seconds or goes away ends the file; the search goes on until it\n"
    "  answers again, and a new file begins. Ctrl-C, SIGTERM or the end of --duration sends the\n"
    "  protocol's stop commands and closes the files.\n"
    "  Prints JSON Lines: {\"event\":\"opened\"|\"closed\",\"kind\":\"record\"|\"conversion\",\"file\",\n"
    "  \"bytes\"} for every file, {\"event\":\"info\",\"text\"} for every message the program shows\n"
    "  (\"Connection Ok\", \"Waiting for the receiver...\", \"Disk is full\", ...) and with --stats\n"
    "  {\"event\":\"stats\",\"bytes\",\"errors\", and the fields of stats --json} every second.\n"
    "  Exits with 0 when stopped, 1 when no receiver answers, a file or the port cannot be\n"
    "  opened or a recording ends by itself (\"Disk is full\"), 2 for bad arguments.\n"
    "  --port      a device name under /dev (ttyUSB0) or a path\n"
    "  --protocol  the receiver's protocol (nmea)\n"
    "  --baud      the rate to record at (115200); the search finds the receiver at any rate\n"
    "              of the protocol's table and moves a BINR or BINR2 receiver to this one\n"
    "  --raw-data  the receiver's raw data too, as the \"DBG data\" box asks (BINR, BINR2)\n"
    "  --duration  stop S seconds after the first file was opened\n"
    "  --dir       record into DIR, created when missing (default: the current folder)\n"
    "  --stats     the running figures of the Statistic window, every second\n";

constexpr int kRecordAfterSyncMs = 500;  // the program's wait between a search and Record
constexpr int kStatsEveryMs = 1000;
// A timer's interval is an int of milliseconds: a longer duration is waited for in such steps.
constexpr qint64 kLongestTimerMs = 86400000;

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

struct RecordOptions {
  LinkOptions link;
  bool rawData = false;
  double durationSeconds = -1;  // none
  std::string dir;
  bool stats = false;
};

bool parseSeconds(const char* text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text, &end);
  return *text != '\0' && *end == '\0' && std::isfinite(seconds) && seconds > 0 && seconds <= 1e7;
}

bool parse(int argc, char** argv, RecordOptions& o) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const OptionTaken taken = takeLinkOption(argc, argv, i, o.link);
    if (taken == OptionTaken::Bad) return false;
    if (taken == OptionTaken::Yes) continue;
    const bool hasValue = i + 1 < argc;
    if (arg == "--raw-data") {
      o.rawData = true;
    } else if (arg == "--stats") {
      o.stats = true;
    } else if (arg == "--duration" && hasValue) {
      if (!parseSeconds(argv[++i], o.durationSeconds)) return false;
    } else if (arg == "--dir" && hasValue) {
      o.dir = argv[++i];
      if (o.dir.empty()) return false;
    } else {
      return false;
    }
  }
  return !o.link.port.empty();
}

// A relative path to the port ("./gps") stays valid when the current folder changes.
void anchorPort(std::string& port) {
  if (isTcpPortName(port)) return;
  if (port.find('/') != std::string::npos && port.front() != '/') port = std::filesystem::absolute(port).string();
}

// Record files are named relative to the current folder, as in the program: the
// recording runs in DIR.
bool enterDirectory(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (!error) std::filesystem::current_path(dir, error);
  if (!error) return true;
  std::fprintf(stderr, "veltrano-cli: %s: %s\n", dir.c_str(), error.message().c_str());
  return false;
}

class FieldRecorder {
 public:
  explicit FieldRecorder(const RecordOptions& options);
  int run();

 private:
  void printInfo(const QString& text);
  void printFile(const char* event, const char* kind, const std::string& name);
  void printStatistics();
  void print(JsonWriter& json);
  void started(const std::string& record);
  void stopped(TransportState left, bool sender);
  // The duration timer runs to the end of the duration, or for its longest interval.
  void armDuration();
  // Ends the run: a recording or search still going is stopped as by the user.
  void finish(int status, const QString& reason = QString());

  const RecordOptions& options_;
  CheckedOutput out_ = standardOutput();
  bool outputFailed_ = false;
  LiveSession session_;
  PositionStatistics statistics_;
  StatisticFilter filter_{statistics_};
  QDeadlineTimer durationEnd_{QDeadlineTimer::Forever};
  QTimer durationTimer_;
  QTimer statsTimer_;
  bool finished_ = false;
  int status_ = 0;
};

FieldRecorder::FieldRecorder(const RecordOptions& options)
    : options_(options), session_(options.link, options.rawData) {
  session_.infoChanged = [this](const QString& text) { printInfo(text); };
  session_.recordingStarted = [this](const std::string& record) { started(record); };
  session_.conversionOpened = [this](const std::string& conversion) { printFile("opened", "conversion", conversion); };
  session_.recordingRefused = [this] {
    const QString info = session_.infoText();
    finish(1, info.startsWith(QStringLiteral("Cannot create")) ? info
                                                               : QStringLiteral("cannot open ") + session_.portName());
  };
  session_.recordingClosed = [this](const std::string& record, const std::string& conversion) {
    printFile("closed", "record", record);
    if (!conversion.empty()) printFile("closed", "conversion", conversion);
  };
  session_.stopped = [this](TransportState left, bool sender) { stopped(left, sender); };
  if (options.stats) session_.solution = [this](const Fix& fix) { filter_.update(fix); };

  durationTimer_.setSingleShot(true);
  QObject::connect(&durationTimer_, &QTimer::timeout, &durationTimer_, [this] {
    if (durationEnd_.hasExpired())
      finish(0);
    else
      armDuration();
  });
  QObject::connect(&statsTimer_, &QTimer::timeout, &statsTimer_, [this] { printStatistics(); });
}

int FieldRecorder::run() {
  const StopSignals stopSignals([this] { finish(0); });
  session_.synchronise();
  if (session_.transport().transportState != TransportState::SYNC) {
    std::fprintf(stderr, "veltrano-cli: %s\n", session_.infoText().toLocal8Bit().constData());
    return 1;
  }
  if (options_.stats) statsTimer_.start(kStatsEveryMs);
  QCoreApplication::exec();
  if (!out_.finish()) outputFailed_ = true;
  return status_ == 0 && outputFailed_ ? 1 : status_;
}

void FieldRecorder::started(const std::string& record) {
  // The statistics start afresh with every recording, as in the Statistic window.
  resetPositionStatistics(statistics_);
  filter_.resetStatisticDisplay();
  printFile("opened", "record", record);
  if (options_.durationSeconds > 0 && durationEnd_.isForever()) {
    durationEnd_.setRemainingTime(std::llround(options_.durationSeconds * 1000));
    armDuration();
  }
}

void FieldRecorder::armDuration() {
  durationTimer_.start(int(std::min(durationEnd_.remainingTime(), kLongestTimerMs)));
}

void FieldRecorder::stopped(TransportState left, bool sender) {
  if (finished_ || sender) return;
  // A recording that the watchdog stopped, and the search that found the receiver
  // again, go on by themselves into the next recording.
  if (session_.transport().recordAfterSync) return;
  if (left == TransportState::SYNC && session_.connected()) {
    QTimer::singleShot(kRecordAfterSyncMs, &durationTimer_, [this] {
      if (!finished_) session_.startRecording();
    });
    return;
  }
  // No receiver answered, or the recording ended by itself ("Disk is full").
  finish(1, session_.infoText());
}

void FieldRecorder::finish(int status, const QString& reason) {
  if (finished_) return;
  finished_ = true;
  status_ = status;
  if (!reason.isEmpty()) std::fprintf(stderr, "veltrano-cli: %s\n", reason.toLocal8Bit().constData());
  session_.stopByUser();
  QCoreApplication::exit();
}

void FieldRecorder::print(JsonWriter& json) {
  json.flush();
  if (!out_.finish()) outputFailed_ = true;
}

void FieldRecorder::printInfo(const QString& text) {
  if (text.isEmpty()) return;
  JsonWriter json(out_);
  json.beginObject();
  json.field("event", "info");
  json.field("text", text.toStdString());
  json.endObject();
  print(json);
}

void FieldRecorder::printFile(const char* event, const char* kind, const std::string& name) {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(name, error);
  JsonWriter json(out_);
  json.beginObject();
  json.field("event", event);
  json.field("kind", kind);
  json.field("file", options_.dir.empty() ? name : (std::filesystem::path(options_.dir) / name).string());
  json.field("bytes", int64_t(error ? 0 : bytes));
  json.endObject();
  print(json);
}

void FieldRecorder::printStatistics() {
  const TransportFields& transport = session_.transport();
  if (transport.transportState != TransportState::REC) return;
  JsonWriter json(out_);
  json.beginObject();
  json.field("event", "stats");
  json.field("bytes", transport.receivedTotal);
  json.field("errors", int64_t(transport.errorCount));
  writeStatisticFields(json, filter_);
  json.endObject();
  print(json);
}

}  // namespace

int runRecord(int argc, char** argv) {
  if (asksForHelp(argc, argv)) return printHelp(kUsage);
  RecordOptions options;
  if (!parse(argc, argv, options)) return usageError();
  anchorPort(options.link.port);
  if (!options.dir.empty() && !enterDirectory(options.dir)) return 1;

  QtArguments qt;
  QCoreApplication application(qt.argc, qt.argv);
  FieldRecorder recorder(options);
  return recorder.run();
}

}  // namespace veltrano
