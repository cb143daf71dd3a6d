#include "statistic_options.h"

#include <cmath>
#include <cstdio>

#include "input_files.h"
#include "util/formatters.h"

namespace veltrano {

OptionRead readPlaybackOption(int argc, char** argv, int& i, PlaybackArguments& arguments) {
  const std::string_view arg = argv[i];
  const bool hasValue = i + 1 < argc;
  StatisticOptions& options = arguments.statistic;
  if (arg == "--protocol") {
    if (!hasValue || !(arguments.protocol = protocolFromName(argv[++i]))) return OptionRead::Bad;
  } else if (arg == "--max-hdop" || arg == "--max-vdop") {
    const std::optional<std::string> text = hasValue ? limitText(argv[++i]) : std::nullopt;
    if (!text) return OptionRead::Bad;
    const bool hdop = arg == "--max-hdop";
    (hdop ? options.maxHdopText : options.maxVdopText) = *text;
    (hdop ? options.settings.maxHdop : options.settings.maxVdop) = DopLimit::fromText(*text);
  } else if (arg == "--source") {
    const std::optional<NmeaPositionSource> source = hasValue ? positionSource(argv[++i]) : std::nullopt;
    if (!source) return OptionRead::Bad;
    options.source = *source;
  } else if (arg == "--diff") {
    options.settings.diffOnly = true;
  } else if (arg == "--no-obs") {
    options.settings.obs = false;
  } else if (arg == "--3d") {
    options.settings.threeDOnly = true;
  } else {
    return OptionRead::Other;
  }
  return OptionRead::Taken;
}

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

std::optional<PositionCentre> referencePoint(std::string_view text) {
  double lat = 0, lon = 0, height = 0;
  char tail = 0;
  if (std::sscanf(std::string(text).c_str(), "%lf,%lf,%lf%c", &lat, &lon, &height, &tail) != 3) return std::nullopt;
  if (!(std::fabs(lat) <= 90) || !(std::fabs(lon) <= 180) || !std::isfinite(height)) return std::nullopt;
  constexpr double kRadiansPerDegree = kPi / 180;
  return PositionCentre{lat * kRadiansPerDegree, lon * kRadiansPerDegree, height};
}

}  // namespace veltrano
