#pragma once
// The Control window's commands put on the line: a configuration command and
// the free-text line, each through the command writer of the protocol. Nothing
// here touches a widget, so the command-line tool sends the very same bytes.
#include <string_view>

#include "control/control_commands.h"
#include "decoding/transport_fields.h"

namespace veltrano {

class CommandWriter;

// `command` as built for `protocol` by buildControlCommand.
void sendControlCommand(CommandWriter& writer, ReceiverProtocol protocol, const ControlCommand& command);

enum class FreeTextSent { Sent, Refused, NoFreeText };

// The free-text line, 8-bit text, read as nmeaFreeText or binrFreeText read it.
// Refused: the text does not make a command (too long, nothing to send); nothing
// was sent. NoFreeText: the protocol has no free-text commands (BINR2).
FreeTextSent sendFreeText(CommandWriter& writer, ReceiverProtocol protocol, std::string_view text);

}  // namespace veltrano
