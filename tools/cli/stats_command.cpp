#include "stats_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checked_output.h"
#include "decoding/nmea_position_source.h"
#include "decoding/statistic_filter.h"
#include "headless_playback.h"
#include "input_files.h"
#include "json_writer.h"
#include "statistic_json.h"
#include "statistic_options.h"
#include "util/formatters.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli stats [--protocol nmea|binr|binr2] [--max-hdop X] [--max-vdop X] [--diff]\n"
    "                          [--no-obs] [--3d] [--source auto|gga|rmc|gns] [--json] [FILE...]\n"
    "  Plays recordings (standard input without FILE) through the Statistic window's filters\n"
    "  and prints the accepted count N, the solutions seen Nall, the anomalous ones Nanom, the\n"
    "  mean position and height and the rms values. Defaults are the window's: no DOP limits,\n"
    "  OBS ticked, DIFF and 3D unticked, NMEA position source Auto.\n"
    "  --max-hdop, --max-vdop  limit 0.0 to 9.9 as the window's edits hold it; 0.0 is no limit\n"
    "  --diff                  differential solutions only\n"
    "  --no-obs                accept estimated NMEA fixes too\n"
    "  --3d                    three-dimensional solutions only\n"
    "  --source                which NMEA sentence carries the position\n"
    "  --json                  one JSON object instead of text\n"
    "  --protocol may be left out when every FILE ends in .nme, .dat or .b2.\n";

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

// The Statistic window as the only shown window: every solution goes into the filter.
class StatisticDisplay : public NoDisplay {
 public:
  explicit StatisticDisplay(StatisticFilter& filter) : filter_(filter) {}
  void showSolution(const Fix& fix, const SolutionSatellites*) override { filter_.update(fix); }

 private:
  StatisticFilter& filter_;
};

// Texts of the windows are Latin-1; the terminal gets UTF-8.
std::string utf8(std::string_view latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

double degrees(double radians) { return radians * 180 / kPi; }

void printText(CheckedOutput& out, const StatisticFilter& f) {
  const StatisticTexts& t = f.texts();
  out.print("N: %d\n", f.nCount());
  out.print("Nall: %lld\n", static_cast<long long>(f.nallCount()));
  out.print("Nanom: %lld\n", static_cast<long long>(f.nanomCount()));
  out.print("mean latitude: %.9f deg  %s\n", degrees(f.meanLat()), utf8(t.lat).c_str());
  out.print("mean longitude: %.9f deg  %s\n", degrees(f.meanLon()), utf8(t.lon).c_str());
  out.print("mean height: %.3f m  %s\n", f.meanHeight(), t.alt.c_str());
  out.print("rms2D: %.3f m\n", f.rms2D());
  out.print("rmsH: %.3f m\n", f.rmsH());
  out.print("rmsV: %.3f m/s\n", f.rmsV());
}

void printJson(CheckedOutput& output, const StatisticFilter& f) {
  JsonWriter out(output);
  out.beginObject();
  writeStatisticFields(out, f);
  out.endObject();
}

}  // namespace

int runStats(int argc, char** argv) {
  std::optional<ReceiverProtocol> protocol;
  StatisticSettings settings;
  NmeaPositionSource source = NmeaPositionSource::Auto;
  bool json = false;
  std::vector<std::string> files;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--protocol" && hasValue) {
      protocol = protocolFromName(argv[++i]);
      if (!protocol) return usageError();
    } else if ((arg == "--max-hdop" || arg == "--max-vdop") && hasValue) {
      const auto text = limitText(argv[++i]);
      if (!text) return usageError();
      (arg == "--max-hdop" ? settings.maxHdop : settings.maxVdop) = DopLimit::fromText(*text);
    } else if (arg == "--source" && hasValue) {
      const auto chosen = positionSource(argv[++i]);
      if (!chosen) return usageError();
      source = *chosen;
    } else if (arg == "--diff") {
      settings.diffOnly = true;
    } else if (arg == "--no-obs") {
      settings.obs = false;
    } else if (arg == "--3d") {
      settings.threeDOnly = true;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--help" || arg == "-h") {
      return printHelp(kUsage);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError();
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty()) files.emplace_back();  // standard input
  std::vector<ReceiverProtocol> protocols;
  for (const auto& file : files) {
    const auto chosen = protocol ? protocol : protocolFromExtension(file);
    if (!chosen) {
      std::fprintf(stderr, "veltrano-cli: no --protocol and no known extension for %s\n",
                   file.empty() ? "standard input" : file.c_str());
      return usageError();
    }
    protocols.push_back(*chosen);
  }

  // One run of statistics over all files, as the window accumulates from the
  // start of a playback; each file starts with freshly reset decoders.
  PositionStatistics statistics;
  StatisticFilter filter(statistics);
  filter.settings = settings;
  StatisticDisplay display(filter);
  NoConversion conversion;
  const auto playback = std::make_unique<HeadlessPlayback>(display, conversion);
  playback->receiver().nmea.positionSource = int32_t(source);
  for (size_t i = 0; i < files.size(); ++i) {
    playback->startFile(protocols[i]);
    const bool ok = readInput(files[i], [&](const unsigned char* bytes, size_t n) { playback->playChunk(bytes, n); });
    if (!ok) return 1;
  }
  CheckedOutput out = standardOutput();
  if (json)
    printJson(out, filter);
  else
    printText(out, filter);
  return out.finish() ? 0 : 1;
}

}  // namespace veltrano
