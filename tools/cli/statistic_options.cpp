#include "statistic_options.h"

namespace veltrano {

std::optional<std::string> limitText(std::string_view arg) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (arg.size() == 1 && digit(arg[0])) return std::string{arg[0], '.', '0'};
  if (arg.size() == 3 && digit(arg[0]) && arg[1] == '.' && digit(arg[2])) return std::string(arg);
  return std::nullopt;
}

std::optional<NmeaPositionSource> positionSource(std::string_view name) {
  if (name == "auto") return NmeaPositionSource::Auto;
  if (name == "gga") return NmeaPositionSource::GGA;
  if (name == "rmc") return NmeaPositionSource::RMC;
  if (name == "gns") return NmeaPositionSource::GNS;
  return std::nullopt;
}

}  // namespace veltrano
