#include "sync_command.h"

#include <QCoreApplication>
#include <cstdio>
#include <string_view>

#include "checked_output.h"
#include "input_files.h"
#include "json_writer.h"
#include "live_options.h"
#include "live_session.h"
#include "qt_arguments.h"
#include "stop_signals.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli sync --port PORT [--protocol nmea|binr|binr2] [--baud RATE]\n"
    "  Searches for the receiver on PORT as the program's Synchronise does: it listens (NMEA)\n"
    "  or asks (BINR, BINR2) at RATE and then at the other rates of the protocol's table,\n"
    "  moves a BINR or BINR2 receiver to RATE and reads its identification. Prints one JSON\n"
    "  object: port, protocol, baud (the rate the receiver now speaks at), device (its\n"
    "  identification) and ok. Exits with 1 and \"Connection failed\" when no receiver answers.\n"
    "  --port      a device name under /dev (ttyUSB0) or a path\n"
    "  --protocol  the receiver's protocol (nmea)\n"
    "  --baud      the rate to try first and to move the receiver to (115200)\n";

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

constexpr int kInterrupted = 130;

}  // namespace

int runSync(int argc, char** argv) {
  LinkOptions link;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const OptionTaken taken = takeLinkOption(argc, argv, i, link);
    if (taken == OptionTaken::Bad) return usageError();
    if (taken == OptionTaken::Yes) continue;
    if (arg == "--help" || arg == "-h") return printHelp(kUsage);
    return usageError();
  }
  if (link.port.empty()) return usageError();

  QtArguments qt;
  QCoreApplication application(qt.argc, qt.argv);
  LiveSession session(link, false);
  bool interrupted = false;
  const StopSignals stopSignals([&] {
    interrupted = true;
    session.stopByUser();
  });
  session.stopped = [](TransportState left, bool) {
    if (left == TransportState::SYNC) QCoreApplication::exit();
  };
  session.synchronise();
  if (session.transport().transportState == TransportState::SYNC) QCoreApplication::exec();
  if (interrupted) {
    std::fputs("veltrano-cli: interrupted\n", stderr);
    return kInterrupted;
  }

  CheckedOutput out = standardOutput();
  {
    JsonWriter json(out);
    json.beginObject();
    json.field("port", link.port);
    json.field("protocol", protocolName(link.protocol));
    json.field("baud", int64_t(session.baudText().toLongLong()));
    json.field("device", session.deviceText().toStdString());
    json.fieldBool("ok", session.connected());
    json.endObject();
  }
  if (!out.finish()) return 1;
  if (session.connected()) return 0;
  std::fprintf(stderr, "veltrano-cli: %s\n", session.infoText().toLocal8Bit().constData());
  return 1;
}

}  // namespace veltrano
