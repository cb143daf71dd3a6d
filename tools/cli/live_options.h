#pragma once
// The receiver link as the live commands (sync, record, send) take it from the
// command line: the port, the protocol and the rate.
#include <cstdint>
#include <string>

#include "decoding/transport_fields.h"

namespace veltrano {

struct LinkOptions {
  std::string port;  // a device name under /dev ("ttyUSB0") or a path
  ReceiverProtocol protocol = ReceiverProtocol::NMEA;
  bool protocolGiven = false;
  int32_t baud = 115200;
};

enum class OptionTaken { No, Yes, Bad };

// Takes argv[i] and its value when it is --port, --protocol or --baud, moving i
// to the value; Bad for a missing value, an unknown protocol or a rate that is
// not a positive whole number.
OptionTaken takeLinkOption(int argc, char** argv, int& i, LinkOptions& options);

}  // namespace veltrano
