#include "link/command_writer.h"

#include "link/serial_link.h"

namespace veltrano {

void CommandWriter::writeBinrCommand(uint8_t id, const uint8_t* data, int n) {
  const int length = buildBinrFrame(id, data, n, binrCommandCrc_, frame_);
  if (length > 0) link_.writePort(frame_, length);
}

void CommandWriter::writeBinr2Command(const uint8_t* data, int n) {
  const int length = buildBinr2Frame(data, n, frame_);
  if (length > 0) link_.writePort(frame_, length);
}

void CommandWriter::writeNmeaCommand(std::string_view text) {
  const int length = buildNmeaCommand(text, nmeaCommand_);
  if (length == 0) return;
  showSentCommand(text.empty() ? text : text.substr(1));
  link_.writePort(reinterpret_cast<const uint8_t*>(nmeaCommand_), length);
}

}  // namespace veltrano
