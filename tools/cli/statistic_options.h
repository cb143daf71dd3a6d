#pragma once
// The Statistic window's filter options as the command line spells them,
// shared by the commands that play recordings through the filter.
#include <optional>
#include <string>
#include <string_view>

#include "decoding/nmea_position_source.h"

namespace veltrano {

// A DOP limit as the window's edit holds it: one digit, optionally a point and
// one digit; the text is normalised to the edit's form "D.D".
std::optional<std::string> limitText(std::string_view arg);

// auto, gga, rmc or gns.
std::optional<NmeaPositionSource> positionSource(std::string_view name);

}  // namespace veltrano
