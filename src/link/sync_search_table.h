#pragma once
// The rates the synchronisation tries after the selected one, step 1 to 9.
#include <cstdint>

#include "decoding/transport_fields.h"

namespace veltrano {

constexpr int32_t kNmeaSearchBauds[9] = {19200, 9600, 4800, 38400, 57600, 115200, 230400, 460800, 921600};
constexpr int32_t kBinarySearchBauds[9] = {19200, 115200, 38400, 57600, 230400, 9600, 4800, 460800, 921600};

// The rate tried at search step k (1 to 9); 0 outside the table.
constexpr int32_t syncSearchBaud(ReceiverProtocol protocol, int32_t k) {
  if (k < 1 || k > 9) return 0;
  return protocol == ReceiverProtocol::NMEA ? kNmeaSearchBauds[k - 1] : kBinarySearchBauds[k - 1];
}

}  // namespace veltrano
