#include "report_command.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checked_output.h"
#include "decoding/nmea_position_source.h"
#include "displays/position_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "input_files.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/window_state.h"
#include "qt_arguments.h"
#include "statistic_options.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli report [--protocol nmea|binr|binr2] [--ref LAT,LON,H | --ref-statistic]\n"
    "                           [--radius INDEX] [--max-hdop X] [--max-vdop X] [--diff] [--no-obs] [--3d]\n"
    "                           [--source auto|gga|rmc|gns] [-o REPORT.png] [--sky SKY.png]\n"
    "                           [--snr SNR.png] [--state STATE.json] FILE...\n"
    "  Fast-plays the recordings through the program's own windows, offscreen, as the program\n"
    "  plays them one after another, and writes what the windows then show:\n"
    "  -o        the Visual window's report picture (its Copy)\n"
    "  --sky     the sky view of the satellites in view\n"
    "  --snr     the S/N ratio window\n"
    "  --state   every shown window's controls by name: text, colour, enabled, visible\n"
    "  --ref     the reference point in degrees and metres; --ref-statistic plays the files once\n"
    "            more after moving the reference to the Statistic window's mean\n"
    "  --radius  the Visual window's radius position (0 is the smallest ring)\n"
    "  The filters are the Statistic window's, as for veltrano-cli stats.\n";

constexpr int kPlaybackGuardMs = 600000;

struct ReportOptions {
  std::optional<ReceiverProtocol> protocol;
  std::optional<std::array<double, 3>> reference;
  bool referenceFromStatistic = false;
  std::optional<int> radius;
  std::string maxHdop = "0.0", maxVdop = "0.0";
  bool diff = false, obs = true, threeD = false;
  NmeaPositionSource source = NmeaPositionSource::Auto;
  std::string report, sky, snr, state;
  std::vector<std::string> files;
};

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

std::optional<std::array<double, 3>> referenceFrom(const std::string& text) {
  std::array<double, 3> values{};
  char tail = 0;
  if (std::sscanf(text.c_str(), "%lf,%lf,%lf%c", &values[0], &values[1], &values[2], &tail) != 3) return std::nullopt;
  if (std::fabs(values[0]) > 90 || std::fabs(values[1]) > 180 || !std::isfinite(values[2])) return std::nullopt;
  return values;
}

// False after a usage message for arguments that make no report.
bool parse(int argc, char** argv, ReportOptions& o) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--protocol" && hasValue) {
      if (!(o.protocol = protocolFromName(argv[++i]))) return false;
    } else if (arg == "--ref" && hasValue) {
      if (!(o.reference = referenceFrom(argv[++i]))) return false;
    } else if (arg == "--ref-statistic") {
      o.referenceFromStatistic = true;
    } else if (arg == "--radius" && hasValue) {
      char* end = nullptr;
      const long radius = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || radius < 0 || radius >= kRadiusPositions) return false;
      o.radius = int(radius);
    } else if ((arg == "--max-hdop" || arg == "--max-vdop") && hasValue) {
      const std::optional<std::string> limit = limitText(argv[++i]);
      if (!limit) return false;
      (arg == "--max-hdop" ? o.maxHdop : o.maxVdop) = *limit;
    } else if (arg == "--diff") {
      o.diff = true;
    } else if (arg == "--no-obs") {
      o.obs = false;
    } else if (arg == "--3d") {
      o.threeD = true;
    } else if (arg == "--source" && hasValue) {
      const std::optional<NmeaPositionSource> source = positionSource(argv[++i]);
      if (!source) return false;
      o.source = *source;
    } else if (arg == "-o" && hasValue) {
      o.report = argv[++i];
    } else if (arg == "--sky" && hasValue) {
      o.sky = argv[++i];
    } else if (arg == "--snr" && hasValue) {
      o.snr = argv[++i];
    } else if (arg == "--state" && hasValue) {
      o.state = argv[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return false;
    } else {
      o.files.emplace_back(arg);
    }
  }
  if (o.files.empty() || (o.reference && o.referenceFromStatistic)) return false;
  if (o.report.empty() && o.sky.empty() && o.snr.empty() && o.state.empty()) return false;
  for (const std::string& file : o.files)
    if (!o.protocol && !protocolFromExtension(file)) return false;
  return true;
}

class HeadlessReport {
 public:
  explicit HeadlessReport(const ReportOptions& options) : o_(options) {}

  int run() {
    TMainForm& main = *app_.mainForm;
    if (o_.radius) app_.transport.radiusValue = *o_.radius;
    for (ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites, ToolWindow::Visual})
      main.setTicked(window, true);
    if (!o_.snr.empty()) main.setTicked(ToolWindow::SNR, true);
    const VisualFormControls& visual = app_.visualForm->controls();
    visual.satCheckBox->setChecked(!o_.sky.empty());
    setFilters();
    app_.receiver->nmea.positionSource = int32_t(o_.source);
    if (o_.reference) {
      TVisualForm& v = *app_.visualForm;
      constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
      v.refLat = (*o_.reference)[0] * kRadiansPerDegree;
      v.refLon = (*o_.reference)[1] * kRadiansPerDegree;
      v.refHeight = (*o_.reference)[2];
      v.fillReferenceEdits();
    }
    if (!playAll()) return 1;
    if (o_.referenceFromStatistic) {
      app_.visualForm->SetStatisticButtonClick();
      if (!playAll()) return 1;
    }
    return writeOutputs();
  }

 private:
  void setFilters() {
    TStatisticForm& statistic = *app_.statisticForm;
    statistic.findChild<QLineEdit*>(QStringLiteral("HDOPEdit"))->setText(QString::fromStdString(o_.maxHdop));
    statistic.findChild<QLineEdit*>(QStringLiteral("VDOPEdit"))->setText(QString::fromStdString(o_.maxVdop));
    statistic.findChild<QCheckBox*>(QStringLiteral("DiffCheckBox"))->setChecked(o_.diff);
    statistic.findChild<QCheckBox*>(QStringLiteral("ObsCheckBox"))->setChecked(o_.obs);
    statistic.findChild<QCheckBox*>(QStringLiteral("_3DCheckBox"))->setChecked(o_.threeD);
  }

  bool playAll() {
    for (const std::string& file : o_.files)
      if (!play(file)) return false;
    return true;
  }

  // Plays a copy in a scratch folder: a binary recording's NMEA conversion is
  // written beside the played file, never beside the user's.
  bool play(const std::string& path) {
    const QFileInfo source(QString::fromStdString(path));
    const QString copy = scratch_.filePath(source.fileName());
    QFile::remove(copy);
    if (!QFile::copy(source.filePath(), copy)) {
      std::fprintf(stderr, "veltrano-cli: cannot read %s\n", path.c_str());
      return false;
    }
    app_.protocolSwitch->selectForFile(o_.protocol ? *o_.protocol : *protocolFromExtension(path));
    QDir::setCurrent(scratch_.path());
    app_.mainForm->fixFileName(source.fileName());
    app_.playback->RewindButtonClick(false);
    if (app_.transport.transportState != TransportState::FF) {
      std::fprintf(stderr, "veltrano-cli: cannot play %s\n", path.c_str());
      return false;
    }
    const QDeadlineTimer deadline(kPlaybackGuardMs);
    while (app_.transport.transportState != TransportState::STOP && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return app_.transport.transportState == TransportState::STOP;
  }

  int writeOutputs() {
    bool ok = true;
    const auto save = [&ok](const QImage& picture, const std::string& path) {
      if (path.empty()) return;
      if (!picture.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "veltrano-cli: cannot write %s\n", path.c_str());
        ok = false;
      }
    };
    TVisualForm& visual = *app_.visualForm;
    save(visual.reportPicture(), o_.report);
    if (!o_.sky.empty()) {
      visual.SatCheckBoxClick();
      save(visual.layers.skyLayer, o_.sky);
    }
    save(app_.snrForm->grab().toImage(), o_.snr);
    if (!o_.state.empty()) ok = writeState() && ok;
    return ok ? 0 : 1;
  }

  bool writeState() {
    QJsonObject windows;
    const QWidget* shown[] = {app_.mainForm.get(),       app_.positionForm.get(), app_.statisticForm.get(),
                              app_.satellitesForm.get(), app_.visualForm.get(),   app_.snrForm.get()};
    for (const QWidget* window : shown)
      if (window->isVisible()) windows[window->objectName()] = windowState(*window);
    std::FILE* file = std::fopen(o_.state.c_str(), "wb");
    if (!file) {
      std::fprintf(stderr, "veltrano-cli: cannot write %s\n", o_.state.c_str());
      return false;
    }
    CheckedOutput out(file, o_.state.c_str());
    out.write(QJsonDocument(windows).toJson().toStdString());
    const bool written = out.finish();
    return std::fclose(file) == 0 && written;
  }

  const ReportOptions& o_;
  QTemporaryDir scratch_;
  AppContext app_;
};

}  // namespace

int runReport(int argc, char** argv) {
  if (helpWanted(argc, argv)) return printHelp(kUsage);
  ReportOptions options;
  if (!parse(argc, argv, options)) return usageError();
  // The recordings play from a scratch folder: every path is taken from here.
  for (std::string* path : {&options.report, &options.sky, &options.snr, &options.state})
    if (!path->empty()) *path = std::filesystem::absolute(*path).string();
  for (std::string& file : options.files) file = std::filesystem::absolute(file).string();
  // No display is needed: the windows are drawn offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QtArguments qt;
  QApplication application(qt.argc, qt.argv);
  const QString startDirectory = QDir::currentPath();
  int status = 0;
  {
    HeadlessReport report(options);
    status = report.run();
  }
  QDir::setCurrent(startDirectory);
  return status;
}

}  // namespace veltrano
