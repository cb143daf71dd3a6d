#include "link/command_writer.h"

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

void CommandWriter::sendStep(ReceiverProtocol protocol, const CommandStep& step, const std::array<uint8_t, 7>& data) {
  if (step.rawSize) {
    link_.writePort(reinterpret_cast<const uint8_t*>(step.text), step.rawSize);
    return;
  }
  switch (protocol) {
    case ReceiverProtocol::NMEA:
      if (step.text) writeNmeaCommand(step.text);
      break;
    case ReceiverProtocol::BINR:
      writeBinrCommand(step.id, data.data(), step.size);
      break;
    case ReceiverProtocol::BINR2:
      writeBinr2Command(data.data(), step.size);
      break;
  }
}

void CommandWriter::sendSteps(ReceiverProtocol protocol, CommandSteps steps, bool debugData, int32_t rate,
                              const std::function<void(int ms)>& sleepMs) {
  for (const CommandStep& step : steps) {
    if (step.onlyWithDebugData && !debugData) continue;
    if (step.waitBeforeMs) sleepMs(step.waitBeforeMs);
    std::array<uint8_t, 7> data = step.data;
    if (step.rateAt >= 0)
      for (int i = 0; i < 4; ++i) data[size_t(step.rateAt + i)] = uint8_t(uint32_t(rate) >> (8 * i));
    sendStep(protocol, step, data);
    if (step.waitAfterMs) sleepMs(step.waitAfterMs);
  }
}

}  // namespace veltrano
