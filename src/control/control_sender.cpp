#include "control/control_sender.h"

#include "link/command_writer.h"

namespace veltrano {

void sendControlCommand(CommandWriter& writer, ReceiverProtocol protocol, const ControlCommand& command) {
  switch (protocol) {
    case ReceiverProtocol::NMEA:
      writer.writeNmeaCommand(command.text);
      break;
    case ReceiverProtocol::BINR:
      writer.writeBinrCommand(command.id, command.bytes, command.length);
      break;
    case ReceiverProtocol::BINR2:
      writer.writeBinr2Command(command.bytes, command.length);
      break;
  }
}

FreeTextSent sendFreeText(CommandWriter& writer, ReceiverProtocol protocol, std::string_view text) {
  switch (protocol) {
    case ReceiverProtocol::NMEA: {
      char command[kNmeaFreeTextSize];
      const int length = nmeaFreeText(text, command);
      if (length == 0) return FreeTextSent::Refused;
      writer.writeNmeaCommand(std::string_view(command, size_t(length)));
      return FreeTextSent::Sent;
    }
    case ReceiverProtocol::BINR: {
      uint8_t bytes[kBinrFreeTextBytes];
      const int count = binrFreeText(text, bytes);
      if (count == 0) return FreeTextSent::Refused;
      writer.writeBinrCommand(bytes[0], bytes + 1, count - 1);
      return FreeTextSent::Sent;
    }
    case ReceiverProtocol::BINR2:
      break;
  }
  return FreeTextSent::NoFreeText;
}

}  // namespace veltrano
