#include "input_files.h"

#include <algorithm>
#include <cctype>

namespace veltrano {

std::optional<ReceiverProtocol> protocolFromName(std::string_view name) {
  if (name == "nmea") return ReceiverProtocol::NMEA;
  if (name == "binr") return ReceiverProtocol::BINR;
  if (name == "binr2") return ReceiverProtocol::BINR2;
  return std::nullopt;
}

std::optional<ReceiverProtocol> protocolFromExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return std::nullopt;
  std::string extension(path.substr(dot));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (extension == ".nme") return ReceiverProtocol::NMEA;
  if (extension == ".dat") return ReceiverProtocol::BINR;
  if (extension == ".b2") return ReceiverProtocol::BINR2;
  return std::nullopt;
}

const char* protocolName(ReceiverProtocol protocol) {
  switch (protocol) {
    case ReceiverProtocol::NMEA:
      return "nmea";
    case ReceiverProtocol::BINR:
      return "binr";
    case ReceiverProtocol::BINR2:
      return "binr2";
  }
  return "";
}

}  // namespace veltrano
