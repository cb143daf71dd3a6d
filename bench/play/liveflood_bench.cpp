// A live flood into a recording, offscreen: the receiver simulator sends NMEA
// epochs of every sentence it knows as fast as the program takes them through
// a pseudo-terminal, the program records them with every tool window shown,
// and this prints the bytes per second from Record until the last byte was
// decoded, whether the record file holds exactly what was sent, and how long
// input waited meanwhile.
//
//   liveflood_bench [--duration S]
//
// S seconds of 1 Hz epochs are sent (20000 by default, about 27 MB). Prints
// "liveflood MBPS" and "lost BYTES" last; exits with 1 when a byte is missing.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "event_latency.h"
#include "mainwindow/app_context.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "mainwindow/protocol_switch.h"
#include "link/recording.h"
#include "sim/crc32.h"

namespace veltrano::bench {
namespace {

constexpr int kGuardMs = 600000;

struct Flood {
  unsigned long long bytes = 0;
  unsigned crc = 0;
};

// The CRC-32 and length of a file, as the simulator counts what it sent.
Flood fileFlood(const QString& path) {
  Flood flood;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return flood;
  uint32_t crc = 0;
  while (!file.atEnd()) {
    const QByteArray piece = file.read(1 << 20);
    crc = sim::crc32Update(crc, reinterpret_cast<const uint8_t*>(piece.constData()), size_t(piece.size()));
    flood.bytes += uint64_t(piece.size());
  }
  flood.crc = crc;
  return flood;
}

void selectItem(QWidget& form, const char* name, const QString& text) {
  auto* box = form.findChild<QComboBox*>(QString::fromLatin1(name));
  if (box->findText(text) < 0) box->addItem(text);
  box->setCurrentIndex(box->findText(text));
}

int run(const QString& duration) {
  QTemporaryDir scratch;
  QDir::setCurrent(scratch.path());
  QProcess simulator;
  simulator.start(QStringLiteral(VELTRANO_SIM_PATH),
                  {QStringLiteral("--protocol"), QStringLiteral("nmea"), QStringLiteral("--rate"), QStringLiteral("1"),
                   QStringLiteral("--sentences"), QStringLiteral("GGA,RMC,GSA,GSV,GNS,GBS,BSS,RZD"),
                   QStringLiteral("--duration"), duration, QStringLiteral("--flood")});
  if (!simulator.waitForStarted() || !simulator.waitForReadyRead(10000) || !simulator.canReadLine()) {
    std::fputs("liveflood_bench: the simulator does not start\n", stderr);
    return 1;
  }
  const QString terminal = QString::fromLocal8Bit(simulator.readLine()).trimmed();

  AppContext app;
  app.mainForm->show();
  for (ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites, ToolWindow::Visual,
                            ToolWindow::Profile, ToolWindow::SNR})
    app.mainForm->setTicked(window, true);
  app.protocolSwitch->selectForFile(ReceiverProtocol::NMEA);
  selectItem(*app.mainForm, "PortComboBox", terminal + QStringLiteral("  - simulator"));
  selectItem(*app.mainForm, "BaudComboBox", QStringLiteral("115200"));
  app.mainForm->fixFileName(QStringLiteral("flood.nme"));

  Flood sent;
  QObject::connect(&simulator, &QProcess::readyReadStandardOutput, [&] {
    while (simulator.canReadLine()) {
      const QByteArray line = simulator.readLine();
      std::sscanf(line.constData(), "flood: %llu bytes, crc32 %x", &sent.bytes, &sent.crc);
    }
  });
  // The event loop wakes now and then even when nothing arrives.
  QTimer tick;
  tick.start(50);

  EventLatency latency;
  QElapsedTimer clock;
  latency.start();
  clock.start();
  app.recording->RecordButtonClick(true);
  if (app.transport.transportState != TransportState::REC) {
    std::fprintf(stderr, "liveflood_bench: no recording on %s\n", qPrintable(terminal));
    return 1;
  }
  double seconds = 0;
  while (!clock.hasExpired(kGuardMs)) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (sent.bytes > 0 && uint64_t(app.transport.receivedTotal) >= sent.bytes) {
      seconds = double(clock.nsecsElapsed()) * 1e-9;
      break;
    }
  }
  latency.stop();
  const QString recorded = app.mainForm->fileName();
  app.mainForm->StopButtonClick(true);
  const Flood stored = fileFlood(recorded);
  simulator.waitForFinished(5000);

  const double megabytes = double(sent.bytes) / 1e6;
  std::printf(
      "%.1f MB sent, %.1f MB decoded in %.3f s, windows drawn %d times, input waited median %.1f ms, max %.1f ms "
      "(%zu)\n",
      megabytes, double(app.transport.receivedTotal) / 1e6, seconds, app.pacer->drawings(), latency.medianMs(),
      latency.maxMs(), latency.count());
  std::printf("record file %s: %llu bytes, crc32 %08x (sent %08x)\n", qPrintable(recorded), stored.bytes, stored.crc,
              sent.crc);
  const bool complete = sent.bytes > 0 && stored.bytes == sent.bytes && stored.crc == sent.crc;
  std::printf("liveflood %.1f\n", seconds > 0 ? megabytes / seconds : 0.0);
  std::printf("lost %lld\n", static_cast<long long>(sent.bytes) - static_cast<long long>(stored.bytes));
  return complete ? 0 : 1;
}

}  // namespace
}  // namespace veltrano::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QString duration = QStringLiteral("20000");
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--duration") == 0 && i + 1 < argc) {
      duration = QString::fromLatin1(argv[++i]);
    } else {
      std::fputs("usage: liveflood_bench [--duration S]\n", stderr);
      return 2;
    }
  }
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  return veltrano::bench::run(duration);
}
