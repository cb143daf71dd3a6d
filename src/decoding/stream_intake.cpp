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

  switch (transport_.receiverProtocol) {
    case ReceiverProtocol::NMEA:
      for (int32_t i = 0; i < length; ++i) fanOut_.handleNmeaByte(bytes[i]);
      break;
    case ReceiverProtocol::BINR:
      for (int32_t i = 0; i < length; ++i) fanOut_.handleBinrByte(bytes[i]);
      break;
    case ReceiverProtocol::BINR2:
      for (int32_t i = 0; i < length; ++i) fanOut_.handleBinr2Byte(bytes[i]);
      break;
  }

  const TransportState state = transport_.transportState;
  if (state == TransportState::PLAY || state == TransportState::FF || state == TransportState::REC) {
    if (length > 0) transport_.receivedTotal += length;
    if (state == TransportState::REC) sink_.blockRecorded(length);
    sink_.showReceivedBytes(formatReceivedTotal(transport_.receivedTotal));
  }
  sink_.repaintWindows();
}

}  // namespace veltrano
