#pragma once
// The byte handlers of the three protocols: each feeds its decoder and routes a
// completed sentence or message to the windows, the conversion writers or, while
// synchronising, to the identification of the receiver.
#include <cstdint>
#include <string>

#include "decoding/fan_out_target.h"
#include "decoding/receiver.h"
#include "decoding/transport_fields.h"

namespace veltrano {

class MessageFanOut {
 public:
  MessageFanOut(Receiver& receiver, TransportFields& transport, FanOutTarget& target)
      : rx_(receiver), transport_(transport), target_(target) {}

  void handleNmeaByte(uint8_t b);
  void handleBinrByte(uint8_t b);
  void handleBinr2Byte(uint8_t b);

 private:
  bool synchronising() const { return transport_.transportState == TransportState::SYNC; }
  void countError();
  void nameRecordFile(const char* extension);
  void connectionFound();
  void nmeaPositionTrio();
  void satelliteTable(const NmeaFieldTable& sentence);

  Receiver& rx_;
  TransportFields& transport_;
  FanOutTarget& target_;
};

// The receiver's identification from a stored VER sentence.
std::string nmeaVersionText(const NmeaFieldTable& ver);

// "%s %s.%s %s" of the BINR2 device identification.
std::string binr2DeviceText(const Binr2DeviceId& id);

// Device name (up to the first blank) + "_c" + port number (from the 4th
// character of the port entry up to its first blank) + extension.
std::string recordFileName(const std::string& deviceLabel, const std::string& portEntry, const char* extension);

}  // namespace veltrano
