#include "live_options.h"

#include <QString>
#include <optional>
#include <string_view>

#include "input_files.h"
#include "link/baud_text.h"

namespace veltrano {

OptionTaken takeLinkOption(int argc, char** argv, int& i, LinkOptions& options) {
  const std::string_view arg = argv[i];
  if (arg != "--port" && arg != "--protocol" && arg != "--baud") return OptionTaken::No;
  if (i + 1 >= argc) return OptionTaken::Bad;
  const char* value = argv[++i];
  if (arg == "--port") {
    options.port = value;
    return options.port.empty() ? OptionTaken::Bad : OptionTaken::Yes;
  }
  if (arg == "--protocol") {
    const std::optional<ReceiverProtocol> protocol = protocolFromName(value);
    if (!protocol) return OptionTaken::Bad;
    options.protocol = *protocol;
    options.protocolGiven = true;
    return OptionTaken::Yes;
  }
  // The rate as the program's rate box takes a typed one.
  const std::optional<int32_t> baud = baudFromText(QString::fromLocal8Bit(value));
  if (!baud) return OptionTaken::Bad;
  options.baud = *baud;
  return OptionTaken::Yes;
}

}  // namespace veltrano
