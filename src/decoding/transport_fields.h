#pragma once
// The transport fields of the main window that the decoding path reads and
// writes: which protocol is selected, what the program is doing, and the counters.
#include <cstdint>

namespace veltrano {

enum class ReceiverProtocol : int32_t { NMEA = 0, BINR = 1, BINR2 = 2 };

enum class TransportState : int32_t { SYNC = 1, OPEN = 2, PLAY = 3, FF = 4, PAUSE = 5, STOP = 6, REC = 7 };

struct TransportFields {
  ReceiverProtocol receiverProtocol = ReceiverProtocol::NMEA;
  TransportState transportState = TransportState::STOP;
  int64_t receivedTotal = 0;
  int32_t errorCount = 0;
  int32_t noDataTicks = 0;
  int32_t syncBaudIndex = 0;
  bool recordAfterSync = false;
  bool fileNameFixed = false;
  bool soundEnabled = false;
  bool binrCommandCrc = true;
  int32_t maxAltValue = 0;
  int32_t radiusValue = 0;
};

}  // namespace veltrano
