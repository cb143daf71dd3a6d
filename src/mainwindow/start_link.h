#pragma once
// The port, rate and protocol given on the program's command line.
#include <QString>
#include <cstdint>
#include <optional>

#include "decoding/transport_fields.h"

namespace veltrano {

struct StartLink {
  QString port;  // a device name or a path; empty when not given
  std::optional<int32_t> baud;
  std::optional<ReceiverProtocol> protocol;
};

}  // namespace veltrano
