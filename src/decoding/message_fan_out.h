#pragma once
// The block handlers of the three protocols: each feeds its decoder and routes a
// completed sentence or message to the windows and the NMEA conversion or, while
// synchronising, to the search for the receiver. A navigation solution becomes
// one normalized fix, built once, that every consumer reads.
#include <cstdint>
#include <string>
#include <string_view>

#include "decoding/fan_out_sinks.h"
#include "decoding/receiver.h"
#include "decoding/transport_fields.h"

namespace veltrano {

// The value of TransportFields::syncBaudIndex once the receiver answered.
constexpr int32_t kReceiverFound = 10;

class MessageFanOut {
 public:
  MessageFanOut(Receiver& receiver, TransportFields& transport, DisplaySink& display, ConversionSink& conversion)
      : rx_(receiver), transport_(transport), display_(display), conversion_(conversion) {}

  MessageFanOut(Receiver& receiver, TransportFields& transport, DisplaySink& display, ConversionSink& conversion,
                SyncSink& sync)
      : MessageFanOut(receiver, transport, display, conversion) {
    attachSynchronisation(sync);
  }

  // The search for the receiver, where there is one; it needs the link, which
  // is built after the decoding path.
  void attachSynchronisation(SyncSink& sync) { sync_ = &sync; }

  // A block of the selected protocol: the decoder takes it a run at a time, up
  // to the end of each sentence or frame, which is routed before the next run.
  void handleNmea(const uint8_t* bytes, size_t length);
  void handleBinr(const uint8_t* bytes, size_t length);
  void handleBinr2(const uint8_t* bytes, size_t length);

  // A rejected sentence or frame, or a line error of the port.
  void countError();

 private:
  // What a completed sentence, frame or rejection is routed to.
  void routeNmea(NmeaKind kind);
  void routeBinr(int result);
  void routeBinr2(uint8_t id);
  bool synchronising() const { return transport_.transportState == TransportState::SYNC; }
  void identified(const char* extension, bool connected);

  Receiver& rx_;
  TransportFields& transport_;
  DisplaySink& display_;
  ConversionSink& conversion_;
  NoSynchronisation noSync_;
  SyncSink* sync_ = &noSync_;
  // Built for each solution; kept here so that nothing is allocated per message.
  Fix fix_;
  SolutionSatellites satellites_;
};

// The receiver's identification from a stored VER sentence.
std::string nmeaVersionText(const NmeaFieldTable& ver);

// "%s %s.%s %s" of the BINR2 device identification.
std::string binr2DeviceText(const Binr2DeviceId& id);

// The port in a record name: the port's file name without a leading "tty"
// ("ttyUSB0" and "/dev/ttyUSB0" give "USB0"), a bare number with its folder
// ("/dev/pts/3" gives "pts3"); a TCP source its host and port
// ("tcp://192.168.1.20:4001" gives "192-168-1-20-4001").
std::string recordPortPart(std::string_view portName);
// Device name (up to the first blank) + "_c" + the port part + extension.
std::string recordFileName(const std::string& deviceLabel, const std::string& portName, const char* extension);

}  // namespace veltrano
