// Plays arbitrary BINR input through the program's receive path: the stream
// intake, the fan-out, the Statistic window's filter and the NMEA conversion,
// whose every line must be one that NMEA readers accept.
#include <cstddef>
#include <cstdint>

#include "receive_path.h"
#include "statistic_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  veltrano::fuzz::StatisticSink display(veltrano::fuzz::ReceivePath::options(data, size));
  veltrano::fuzz::ReceivePath path(veltrano::ReceiverProtocol::BINR, display);
  path.play(data, size);
  return 0;
}
