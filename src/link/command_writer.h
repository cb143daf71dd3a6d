#pragma once
// The three command writers: each frames a command of its protocol and sends it in
// one write. Main thread; each returns when the write has finished or was abandoned.
#include <cstdint>
#include <functional>
#include <string_view>

#include "link/command_framing.h"
#include "link/port_writer.h"
#include "link/protocol_profile.h"

namespace veltrano {

class CommandWriter {
 public:
  // `link` takes the frames: the serial port. `binrCommandCrc`: whether BINR
  // commands carry the CRC trailer; read at each command.
  CommandWriter(PortWriter& link, const bool& binrCommandCrc) : link_(link), binrCommandCrc_(binrCommandCrc) {}

  // Shows the text of the last NMEA command, without its "$", in the Control window.
  std::function<void(std::string_view text)> showSentCommand = [](std::string_view) {};

  // A command whose framed form would not fit the frame buffer is not sent.
  void writeBinrCommand(uint8_t id, const uint8_t* data, int n);
  void writeBinr2Command(const uint8_t* data, int n);
  // `text` starts with "$" and carries no checksum.
  void writeNmeaCommand(std::string_view text);

  // Sends the steps of `protocol` in order with their waits: the steps marked
  // for "DBG data" only when `debugData`, `rate` put where a step wants it.
  void sendSteps(ReceiverProtocol protocol, CommandSteps steps, bool debugData, int32_t rate,
                 const std::function<void(int ms)>& sleepMs);

 private:
  void sendStep(ReceiverProtocol protocol, const CommandStep& step, const std::array<uint8_t, 7>& data);

  PortWriter& link_;
  const bool& binrCommandCrc_;
  uint8_t frame_[kCommandFrameSize]{};
  char nmeaCommand_[kNmeaCommandSize]{};
};

}  // namespace veltrano
