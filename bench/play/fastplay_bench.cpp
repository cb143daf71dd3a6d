// Fast play of a recording through the program, offscreen: bytes per second
// with no tool window or with all six shown, the CPU time it took, and how
// long input waited while the bytes were decoded. The file is named on the command line as the
// program takes it, so the protocol follows its extension; the first pass
// starts with the main window's first show and is left out of the figures.
//
//   fastplay_bench [--windows none|all] [--passes N] FILE
//
// Prints one line per pass and then "fastplay MBPS" with the median pass: the
// bytes over the time until the last of them was decoded. The thread's fixed
// 200 ms wait before the playback ends is left out; each line tells it too.
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "event_latency.h"
#include "mainwindow/app_context.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"

namespace veltrano::bench {
namespace {

// The CPU time of every thread of the process, and how often one of them
// waited for another (voluntary context switches).
struct Usage {
  double cpuSeconds = 0;
  long waits = 0;
};

Usage usage() {
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return {seconds(self.ru_utime) + seconds(self.ru_stime), self.ru_nvcsw};
}

int usageError() {
  std::fputs("usage: fastplay_bench [--windows none|all] [--passes N] FILE\n", stderr);
  return 2;
}

// Seconds from `clock`'s start until the last byte was decoded, noted when the
// event loop next runs; the thread's fixed wait before the end follows. Input
// is probed while the bytes are decoded.
double waitForStop(const TransportFields& transport, int64_t bytes, const QElapsedTimer& clock,
                   EventLatency& latency) {
  double decoded = 0;
  while (transport.transportState != TransportState::STOP) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (decoded == 0 && transport.receivedTotal == bytes) {
      decoded = double(clock.nsecsElapsed()) * 1e-9;
      latency.stop();
    }
  }
  return decoded;
}

int run(bool allWindows, int passes, const QString& recording) {
  // The conversion of a binary recording is written beside the played file:
  // it is played through a link in a scratch folder.
  QTemporaryDir scratch;
  const QString played = scratch.filePath(QFileInfo(recording).fileName());
  if (!QFile::link(QFileInfo(recording).absoluteFilePath(), played)) {
    std::fprintf(stderr, "fastplay_bench: cannot link %s\n", qPrintable(recording));
    return 1;
  }
  const int64_t bytes = QFileInfo(recording).size();
  const double megabytes = double(bytes) / 1e6;
  AppContext app(QStringList{played});
  constexpr ToolWindow kShown[] = {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites,
                                   ToolWindow::Visual,   ToolWindow::Profile,   ToolWindow::SNR};
  for (ToolWindow window : kShown) app.mainForm->setTicked(window, allWindows);

  std::vector<double> speeds;
  for (int pass = 0; pass <= passes; ++pass) {
    EventLatency latency;
    QElapsedTimer clock;
    const Usage before = usage();
    const int drawingsBefore = app.pacer->drawings();
    clock.start();
    latency.start();
    if (pass == 0)
      app.mainForm->show();  // fast-plays the file named on the command line
    else
      app.playback->RewindButtonClick(true);
    if (app.transport.transportState != TransportState::FF) {
      std::fprintf(stderr, "fastplay_bench: %s does not play\n", qPrintable(recording));
      return 1;
    }
    const double seconds = waitForStop(app.transport, bytes, clock, latency);
    const double stopped = double(clock.nsecsElapsed()) * 1e-9;
    const Usage after = usage();
    std::printf(
        "pass %d: %.1f MB decoded in %.3f s, %.1f MB/s (stopped after %.3f s), cpu %.3f s, %ld waits, "
        "drawn %d times, input waited median %.1f ms, max %.1f ms (%zu)\n",
        pass, megabytes, seconds, megabytes / seconds, stopped, after.cpuSeconds - before.cpuSeconds,
        after.waits - before.waits, app.pacer->drawings() - drawingsBefore, latency.medianMs(), latency.maxMs(),
        latency.count());
    if (pass > 0) speeds.push_back(megabytes / seconds);
  }
  std::sort(speeds.begin(), speeds.end());
  std::printf("fastplay %.1f\n", speeds[speeds.size() / 2]);
  return 0;
}

}  // namespace
}  // namespace veltrano::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  bool allWindows = false;
  int passes = 3;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--windows") == 0 && hasValue) {
      const std::string value = argv[++i];
      if (value != "none" && value != "all") return veltrano::bench::usageError();
      allWindows = value == "all";
    } else if (std::strcmp(argv[i], "--passes") == 0 && hasValue) {
      passes = std::atoi(argv[++i]);
      if (passes < 1) return veltrano::bench::usageError();
    } else if (argv[i][0] == '-' || file) {
      return veltrano::bench::usageError();
    } else {
      file = argv[i];
    }
  }
  if (!file) return veltrano::bench::usageError();
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  return veltrano::bench::run(allWindows, passes, QString::fromLocal8Bit(file));
}
