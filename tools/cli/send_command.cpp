#include "send_command.h"

#include <QFile>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "checked_output.h"
#include "control/control_sender.h"
#include "control_arguments.h"
#include "decoding/transport_fields.h"
#include "link/command_writer.h"
#include "link/port_writer.h"
#include "link/serial_link.h"
#include "live_options.h"

namespace veltrano {

namespace {

const char kUsagePrefix[] =
    "usage: veltrano-cli send --protocol nmea|binr|binr2 (--port PORT [--baud RATE] | --hex) COMMAND [ARGS]\n"
    "  Sends one command of the Control window to the receiver on PORT, framed as the program\n"
    "  frames it in the protocol, at RATE (115200, odd parity for BINR); --hex prints its bytes\n"
    "  in hexadecimal instead (\"10 0E 10 FF ...\") and sends nothing. ARGS set the row of the\n"
    "  window that the command sends; left out, they are the window's settings (in brackets).\n"
    "  Commands:\n";

// The program's wait after commands, so that they leave before the port closes.
constexpr int kAfterCommandMs = 200;

int usageError() {
  std::fputs(kUsagePrefix, stderr);
  std::fputs(kControlCommandsHelp, stderr);
  return 2;
}

// The frame the command writer puts on the line, taken as it would be written.
class FrameCollector : public PortWriter {
 public:
  int writePort(const uint8_t* bytes, int count) override {
    frames.insert(frames.end(), bytes, bytes + count);
    return count;
  }
  std::vector<uint8_t> frames;
};

// The port is opened without its reader: nothing is received.
class NothingReceived : public LinkReceiver {
 public:
  void receiveBlock(const uint8_t*, int32_t) override {}
  void countLineError() override {}
};

// What the window's button or line sends; false with a message when the protocol has none of it.
bool frame(const ControlRequest& request, ReceiverProtocol protocol, PortWriter& port) {
  const TransportFields program;  // its BINR commands carry the CRC trailer
  CommandWriter writer(port, program.binrCommandCrc);
  if (request.freeText) {
    const FreeTextSent sent = sendFreeText(writer, protocol, request.text);
    if (sent == FreeTextSent::Refused) std::fputs("veltrano-cli: the text makes no command\n", stderr);
    if (sent == FreeTextSent::NoFreeText) std::fputs("veltrano-cli: BINR2 has no free-text commands\n", stderr);
    return sent == FreeTextSent::Sent;
  }
  ControlCommand command;
  if (!buildControlCommand(request.button, protocol, request.settings, command)) {
    std::fputs("veltrano-cli: the window sends nothing for this command in NMEA\n", stderr);
    return false;
  }
  sendControlCommand(writer, protocol, command);
  return true;
}

int printHex(const std::vector<uint8_t>& bytes) {
  CheckedOutput out = standardOutput();
  for (size_t i = 0; i < bytes.size(); ++i) out.print(i ? " %02X" : "%02X", bytes[i]);
  out.write("\n");
  return out.finish() ? 0 : 1;
}

}  // namespace

int runSend(int argc, char** argv) {
  LinkOptions link;
  bool hex = false;
  bool optionsEnded = false;
  std::vector<std::string_view> words;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    const OptionTaken taken = takeLinkOption(argc, argv, i, link);
    if (taken == OptionTaken::Bad) return usageError();
    if (taken == OptionTaken::Yes) continue;
    if (arg == "--help" || arg == "-h") {
      CheckedOutput out = standardOutput();
      out.write(kUsagePrefix);
      out.write(kControlCommandsHelp);
      return out.finish() ? 0 : 1;
    }
    if (arg == "--hex") {
      hex = true;
    } else if (arg == "--") {
      optionsEnded = true;
    } else {
      return usageError();
    }
  }
  const std::optional<ControlRequest> request = controlRequest(words);
  if (!request || !link.protocolGiven || (link.port.empty() && !hex)) return usageError();

  FrameCollector command;
  if (!frame(*request, link.protocol, command)) return 2;
  if (hex) return printHex(command.frames);

  NothingReceived nothing;
  SerialLink serial(nothing);
  if (!serial.openPort(QFile::decodeName(link.port.c_str()), link.baud, link.protocol == ReceiverProtocol::BINR,
                       false)) {
    std::fprintf(stderr, "veltrano-cli: cannot open %s\n", link.port.c_str());
    return 1;
  }
  // One write, as the command writer makes it.
  const int length = int(command.frames.size());
  const bool written = serial.writePort(command.frames.data(), length) == length;
  std::this_thread::sleep_for(std::chrono::milliseconds(kAfterCommandMs));
  serial.closePort();
  if (written) return 0;
  std::fprintf(stderr, "veltrano-cli: cannot write to %s\n", link.port.c_str());
  return 1;
}

}  // namespace veltrano
