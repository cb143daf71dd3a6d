#pragma once
// The options of the commands that play recordings through the Statistic
// window's filter, as the command line spells them: the protocol, the filters,
// the NMEA position source and a reference point.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decoding/nmea_position_source.h"
#include "decoding/statistic_filter.h"
#include "decoding/transport_fields.h"
#include "util/accuracy_figures.h"

namespace veltrano {

struct StatisticOptions {
  StatisticSettings settings;
  // The DOP limits as the window's edits hold them.
  std::string maxHdopText = "0.0", maxVdopText = "0.0";
  NmeaPositionSource source = NmeaPositionSource::Auto;
};

// The arguments every command that plays recordings through the filter takes.
struct PlaybackArguments {
  std::optional<ReceiverProtocol> protocol;
  StatisticOptions statistic;
  std::vector<std::string> files;  // the recordings
};

enum class OptionRead { Other, Taken, Bad };

// Reads the option at argv[i], if it is one of PlaybackArguments (--protocol,
// --max-hdop X, --max-vdop X, --diff, --no-obs, --3d, --source
// auto|gga|rmc|gns), and moves i onto the last argument it took. Bad: such an
// option without a value it takes.
OptionRead readPlaybackOption(int argc, char** argv, int& i, PlaybackArguments& arguments);

// Reads a command's arguments: its own options through `own`, called with the
// index of an option that is none of PlaybackArguments' (it takes the option,
// moving i onto the last argument it took, or returns false), and the rest
// into `arguments`. False for arguments the command does not take.
template <typename Own>
bool readPlaybackArguments(int argc, char** argv, PlaybackArguments& arguments, Own&& own) {
  for (int i = 0; i < argc; ++i) {
    const OptionRead shared = readPlaybackOption(argc, argv, i, arguments);
    if (shared == OptionRead::Bad) return false;
    if (shared == OptionRead::Taken) continue;
    const std::string_view arg = argv[i];
    if (arg.size() > 1 && arg[0] == '-') {
      if (!own(i)) return false;
    } else {
      arguments.files.emplace_back(arg);
    }
  }
  return true;
}

// A DOP limit as the window's edit holds it: one digit, optionally a point and
// one digit; the text is normalised to the edit's form "D.D".
std::optional<std::string> limitText(std::string_view arg);

// auto, gga, rmc or gns.
std::optional<NmeaPositionSource> positionSource(std::string_view name);

// "LAT,LON,H": degrees within 90 and 180, and a finite height in metres.
std::optional<PositionCentre> referencePoint(std::string_view text);

}  // namespace veltrano
