#include "export_command.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "checked_output.h"
#include "input_files.h"
#include "recordings.h"
#include "statistic_options.h"
#include "track_point.h"
#include "track_writer.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli export --format gpx|kml|csv|geojson [--protocol nmea|binr|binr2] [--max-hdop X]\n"
    "                           [--max-vdop X] [--diff] [--no-obs] [--3d] [--source auto|gga|rmc|gns]\n"
    "                           [-o OUT] FILE...\n"
    "  Writes the solutions that the Statistic window's filters accept from the recordings, in\n"
    "  order, as a track for maps: UTC time, position, height, fix status, satellites used, HDOP\n"
    "  and VDOP, each where the receiver gave it.\n"
    "  gpx      GPX 1.1: one track of one segment, a trkpt per solution\n"
    "  kml      KML 2.2: a placemark per solution, then the track as one line\n"
    "  csv      a header row, then a row per solution\n"
    "  geojson  a FeatureCollection: a Point feature per solution with its figures as\n"
    "           properties, then the track as one LineString feature\n"
    "  -o       the output file instead of standard output\n"
    "  The filters and --protocol are those of veltrano-cli stats. A solution whose position\n"
    "  lies off the globe is left out, and their number is said on standard error.\n";

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

struct ExportOptions {
  std::optional<TrackFormat> format;
  std::string output;
  PlaybackArguments playback;
};

// False for arguments that make no export.
bool parse(int argc, char** argv, ExportOptions& o) {
  const auto own = [&](int& i) {
    if (i + 1 >= argc) return false;
    const std::string_view arg = argv[i++];
    if (arg == "--format") return (o.format = trackFormat(argv[i])).has_value();
    o.output = argv[i];
    return arg == "-o";
  };
  return readPlaybackArguments(argc, argv, o.playback, own) && o.format && !o.playback.files.empty();
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

// Plays the recordings once, handing each accepted solution that is a place
// on the globe to `use`; counts those left out.
template <typename Use>
bool playPoints(Recordings& recordings, const StatisticOptions& options, int64_t& leftOut, Use&& use) {
  TrackPoint point;
  return recordings.playAccepted(options, [&](const Fix& fix) {
    if (makeTrackPoint(fix, point))
      use(point);
    else
      ++leftOut;
  });
}

bool writeTrack(Recordings& recordings, const StatisticOptions& options, TrackWriter& writer) {
  int64_t points = 0, leftOut = 0;
  writer.begin();
  const auto point = [&](const TrackPoint& p) {
    writer.point(p);
    ++points;
  };
  if (!playPoints(recordings, options, leftOut, point)) return false;
  if (writer.drawsLine() && points >= 2) {
    int64_t again = 0;
    writer.beginLine();
    if (!playPoints(recordings, options, again, [&](const TrackPoint& p) { writer.linePoint(p); })) return false;
    writer.endLine();
  }
  writer.end();
  if (leftOut > 0)
    std::fprintf(stderr, "veltrano-cli: %lld solutions with no position on the globe left out\n",
                 static_cast<long long>(leftOut));
  return true;
}

}  // namespace

int runExport(int argc, char** argv) {
  if (asksForHelp(argc, argv)) return printHelp(kUsage);
  ExportOptions o;
  if (!parse(argc, argv, o)) return usageError();
  const std::vector<std::string>& files = o.playback.files;
  Recordings recordings;
  for (const std::string& file : files)
    if (!recordings.add(file, o.playback.protocol)) return usageError();
  std::FILE* file = stdout;
  if (!o.output.empty()) {
    for (const std::string& input : files)
      if (sameFile(o.output, input)) {
        std::fprintf(stderr, "veltrano-cli: the output %s would replace the recording %s\n", o.output.c_str(),
                     input.c_str());
        return 1;
      }
    file = std::fopen(o.output.c_str(), "wb");
    if (file == nullptr) {
      std::fprintf(stderr, "veltrano-cli: cannot create %s: %s\n", o.output.c_str(), std::strerror(errno));
      return 1;
    }
  }
  CheckedOutput out(file, o.output.empty() ? "standard output" : o.output.c_str());
  const std::unique_ptr<TrackWriter> writer = makeTrackWriter(*o.format, out);
  bool ok = writeTrack(recordings, o.playback.statistic, *writer);
  ok = out.finish() && ok;
  if (file != stdout) {
    ok = std::fclose(file) == 0 && ok;
    // An incomplete track is no track.
    if (!ok) std::remove(o.output.c_str());
  }
  return ok ? 0 : 1;
}

}  // namespace veltrano
