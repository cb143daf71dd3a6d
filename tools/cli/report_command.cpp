#include "report_command.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accuracy_passes.h"
#include "checked_output.h"
#include "control/control_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/report_picture.h"
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
#include "recordings.h"
#include "qt_arguments.h"
#include "statistic_options.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli report [--protocol nmea|binr|binr2] [--ref LAT,LON,H | --ref-statistic]\n"
    "                           [--radius INDEX] [--max-hdop X] [--max-vdop X] [--diff] [--no-obs] [--3d]\n"
    "                           [--source auto|gga|rmc|gns] [-o REPORT.png] [--sky SKY.png]\n"
    "                           [--snr SNR.png] [--state STATE.json] [--group GROUP.png] FILE...\n"
    "  Fast-plays the recordings through the program's own windows, offscreen, as the program\n"
    "  plays them one after another, and writes what the windows then show:\n"
    "  -o        the Visual window's report picture (its Copy)\n"
    "  --sky     the sky view of the satellites in view\n"
    "  --snr     the S/N ratio window\n"
    "  --state   every shown window's controls by name: text, colour, enabled, visible\n"
    "  --group   the main window and every tool window, tiled as the program shows them\n"
    "  --ref     the reference point in degrees and metres; --ref-statistic plays the files once\n"
    "            more after moving the reference to the Statistic window's mean\n"
    "  --radius  the Visual window's radius position (0 is the smallest ring)\n"
    "  The filters are the Statistic window's, as for veltrano-cli stats. The report picture and\n"
    "  the state add the accuracy figures of veltrano-cli stats, about --ref or the mean.\n";

constexpr int kPlaybackGuardMs = 600000;

struct ReportOptions {
  std::optional<PositionCentre> reference;
  bool referenceFromStatistic = false;
  std::optional<int> radius;
  std::string report, sky, snr, state, group;
  PlaybackArguments playback;
};

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

// The report's own options: false for one it does not take.
bool readReportOption(int argc, char** argv, int& i, ReportOptions& o) {
  const std::string_view arg = argv[i];
  if (arg == "--ref-statistic") return o.referenceFromStatistic = true;
  if (i + 1 >= argc) return false;
  const char* value = argv[++i];
  if (arg == "--ref") return (o.reference = referencePoint(value)).has_value();
  if (arg == "--radius") {
    char* end = nullptr;
    const long radius = std::strtol(value, &end, 10);
    o.radius = int(radius);
    return *end == '\0' && radius >= 0 && radius < kRadiusPositions;
  }
  std::string* const paths[] = {&o.report, &o.sky, &o.snr, &o.state, &o.group};
  const char* const names[] = {"-o", "--sky", "--snr", "--state", "--group"};
  for (size_t k = 0; k < std::size(names); ++k)
    if (arg == names[k]) return !(*paths[k] = value).empty();
  return false;
}

// False for arguments that make no report.
bool parse(int argc, char** argv, ReportOptions& o) {
  const auto own = [&](int& i) { return readReportOption(argc, argv, i, o); };
  if (!readPlaybackArguments(argc, argv, o.playback, own)) return false;
  const std::vector<std::string>& files = o.playback.files;
  if (files.empty() || (o.reference && o.referenceFromStatistic)) return false;
  if (o.report.empty() && o.sky.empty() && o.snr.empty() && o.state.empty() && o.group.empty()) return false;
  for (const std::string& file : files)
    if (!o.playback.protocol && !protocolFromExtension(file)) return false;
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
    if (!o_.snr.empty() || !o_.group.empty()) main.setTicked(ToolWindow::SNR, true);
    if (!o_.group.empty()) main.setTicked(ToolWindow::Profile, true);
    const VisualFormControls& visual = app_.visualForm->controls();
    visual.satCheckBox->setChecked(!o_.sky.empty());
    setFilters();
    app_.receiver->nmea.positionSource = int32_t(o_.playback.statistic.source);
    if (o_.reference) {
      TVisualForm& v = *app_.visualForm;
      v.refLat = o_.reference->latitude;
      v.refLon = o_.reference->longitude;
      v.refHeight = o_.reference->height;
      v.fillReferenceEdits();
    }
    if (!measure()) return 1;
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
    const StatisticOptions& o = o_.playback.statistic;
    statistic.findChild<QLineEdit*>(QStringLiteral("HDOPEdit"))->setText(QString::fromStdString(o.maxHdopText));
    statistic.findChild<QLineEdit*>(QStringLiteral("VDOPEdit"))->setText(QString::fromStdString(o.maxVdopText));
    statistic.findChild<QCheckBox*>(QStringLiteral("DiffCheckBox"))->setChecked(o.settings.diffOnly);
    statistic.findChild<QCheckBox*>(QStringLiteral("ObsCheckBox"))->setChecked(o.settings.obs);
    statistic.findChild<QCheckBox*>(QStringLiteral("_3DCheckBox"))->setChecked(o.settings.threeDOnly);
  }

  // The accuracy figures, from the recordings themselves through the same
  // filters; parse() made sure that every file has a protocol.
  bool measure() {
    Recordings recordings;
    for (const std::string& file : o_.playback.files) recordings.add(file, o_.playback.protocol);
    FreshFilter window;
    return measureAccuracy(recordings, o_.playback.statistic, o_.reference, window, figures_);
  }

  bool playAll() {
    for (const std::string& file : o_.playback.files)
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
    app_.protocolSwitch->selectForFile(o_.playback.protocol ? *o_.playback.protocol : *protocolFromExtension(path));
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
    ReportCaptions captions = visual.reportCaptions();
    captions.accuracy = figures_;
    save(drawReportPicture(visual.layers.plotLayer, captions), o_.report);
    if (!o_.sky.empty()) {
      visual.SatCheckBoxClick();
      save(visual.layers.skyLayer, o_.sky);
    }
    save(app_.snrForm->grab().toImage(), o_.snr);
    if (!o_.group.empty()) save(groupPicture(), o_.group);
    if (!o_.state.empty()) ok = writeState() && ok;
    return ok ? 0 : 1;
  }

  // The main window, which the report never shows, and the shown tool windows
  // where the tiling placed them.
  QImage groupPicture() {
    QWidget* const windows[] = {app_.mainForm.get(),       app_.positionForm.get(), app_.statisticForm.get(),
                                app_.satellitesForm.get(), app_.visualForm.get(),   app_.profileForm.get(),
                                app_.snrForm.get(),        app_.controlForm.get()};
    const auto drawn = [&](const QWidget* window) { return window == windows[0] || window->isVisible(); };
    QRect area;
    for (const QWidget* window : windows)
      if (drawn(window)) area |= window->geometry();
    QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (QWidget* window : windows)
      if (drawn(window)) painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    return picture;
  }

  bool writeState() {
    QJsonObject windows;
    const QWidget* shown[] = {app_.mainForm.get(),       app_.positionForm.get(), app_.statisticForm.get(),
                              app_.satellitesForm.get(), app_.visualForm.get(),   app_.snrForm.get()};
    for (const QWidget* window : shown)
      if (window->isVisible()) windows[window->objectName()] = windowState(*window);
    QJsonObject accuracy;
    for (const AccuracyFigureName& figure : kAccuracyFigureNames)
      accuracy[QString::fromLatin1(figure.key)] = figures_.*figure.value;
    windows[QStringLiteral("accuracy")] = accuracy;
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
  AccuracyFigures figures_;
  QTemporaryDir scratch_;
  AppContext app_;
};

}  // namespace

int runReport(int argc, char** argv) {
  if (asksForHelp(argc, argv)) return printHelp(kUsage);
  ReportOptions options;
  if (!parse(argc, argv, options)) return usageError();
  // The recordings play from a scratch folder: every path is taken from here.
  for (std::string* path : {&options.report, &options.sky, &options.snr, &options.state, &options.group})
    if (!path->empty()) *path = std::filesystem::absolute(*path).string();
  for (std::string& file : options.playback.files) file = std::filesystem::absolute(file).string();
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
