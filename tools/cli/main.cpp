// veltrano-cli: VELTRANO's decoding, analysis and live work without the windows.
#include <cstdio>
#include <string_view>

#include "checked_output.h"
#include "convert_command.h"
#include "decode_command.h"
#include "export_command.h"
#include "record_command.h"
#include "report_process.h"
#include "send_command.h"
#include "stats_command.h"
#include "sync_command.h"

namespace {
const char kUsage[] =
    "usage: veltrano-cli COMMAND [OPTIONS] [FILE...]\n"
    "commands:\n"
    "  decode   print every decoded message as JSON Lines\n"
    "  convert  write the NMEA conversion of a BINR or BINR2 recording\n"
    "  stats    accuracy figures of a recording through the Statistic window's filters\n"
    "  report   the Visual window's report picture, sky view, S/N chart and window texts of recordings\n"
    "  export   the accepted solutions of recordings as a GPX, KML, CSV or GeoJSON track\n"
    "  sync     search for the receiver on a serial port as Synchronise does\n"
    "  record   synchronise and record a receiver as Record does, until stopped\n"
    "  send     send one command of the Control window to a receiver\n";
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  if (command == "decode") return veltrano::runDecode(argc - 2, argv + 2);
  if (command == "stats") return veltrano::runStats(argc - 2, argv + 2);
  if (command == "convert") return veltrano::runConvert(argc - 2, argv + 2);
  if (command == "report") return veltrano::runReportProcess(argc - 2, argv + 2);
  if (command == "export") return veltrano::runExport(argc - 2, argv + 2);
  if (command == "sync") return veltrano::runSync(argc - 2, argv + 2);
  if (command == "record") return veltrano::runRecord(argc - 2, argv + 2);
  if (command == "send") return veltrano::runSend(argc - 2, argv + 2);
  if (command == "--help" || command == "-h") return veltrano::printHelp(kUsage);
  std::fputs(kUsage, stderr);
  return 2;
}
