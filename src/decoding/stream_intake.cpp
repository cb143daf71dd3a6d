#include "decoding/stream_intake.h"

#include <cstdio>

namespace veltrano {

std::string formatReceivedTotal(int64_t total) {
  char text[64];
  const double value = double(total);
  if (total < 1048576)
    std::snprintf(text, sizeof text, "%.1f kB", value / 1024);
  else if (total < 1073741824)
    std::snprintf(text, sizeof text, "%.1f MB", value / 1048576);
  else
    std::snprintf(text, sizeof text, "%.1f GB", value / 1073741824);
  return text;
}

void StreamIntake::receiveBlock(const uint8_t* bytes, int32_t length) {
  if (transport_.transportState == TransportState::STOP) return;

  const size_t size = length > 0 ? size_t(length) : 0;
  switch (transport_.receiverProtocol) {
    case ReceiverProtocol::NMEA:
      fanOut_.handleNmea(bytes, size);
      break;
    case ReceiverProtocol::BINR:
      fanOut_.handleBinr(bytes, size);
      break;
    case ReceiverProtocol::BINR2:
      fanOut_.handleBinr2(bytes, size);
      break;
  }

  const TransportState state = transport_.transportState;
  if (state == TransportState::PLAY || state == TransportState::FF || state == TransportState::REC) {
    if (length > 0) transport_.receivedTotal += length;
    if (state == TransportState::REC) sink_.blockRecorded(length);
    sink_.showReceivedTotal(transport_.receivedTotal);
  }
  sink_.repaintWindows();
}

}  // namespace veltrano
