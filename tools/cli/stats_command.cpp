#include "stats_command.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accuracy_passes.h"
#include "checked_output.h"
#include "decoding/statistic_filter.h"
#include "input_files.h"
#include "json_writer.h"
#include "recordings.h"
#include "statistic_json.h"
#include "statistic_options.h"
#include "util/accuracy_figures.h"
#include "util/formatters.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli stats [--protocol nmea|binr|binr2] [--max-hdop X] [--max-vdop X] [--diff]\n"
    "                          [--no-obs] [--3d] [--source auto|gga|rmc|gns] [--ref LAT,LON,H] [--json]\n"
    "                          [FILE...]\n"
    "  Plays recordings (standard input without FILE) through the Statistic window's filters\n"
    "  and prints the accepted count N, the solutions seen Nall, the anomalous ones Nanom, the\n"
    "  mean position and height and the rms values, then the accuracy figures of the accepted\n"
    "  solutions: horizontal CEP50, CEP95 (R95), 2DRMS and the largest error Hmax, vertical\n"
    "  V50 and V95, in metres about the mean position or --ref. Defaults are the window's: no\n"
    "  DOP limits, OBS ticked, DIFF and 3D unticked, NMEA position source Auto.\n"
    "  --max-hdop, --max-vdop  limit 0.0 to 9.9 as the window's edits hold it; 0.0 is no limit\n"
    "  --diff                  differential solutions only\n"
    "  --no-obs                accept estimated NMEA fixes too\n"
    "  --3d                    three-dimensional solutions only\n"
    "  --source                which NMEA sentence carries the position\n"
    "  --ref                   the errors' centre in degrees and metres instead of the mean\n"
    "  --json                  one JSON object instead of text\n"
    "  --protocol may be left out when every FILE ends in .nme, .dat or .b2.\n";

int usageError() {
  std::fputs(kUsage, stderr);
  return 2;
}

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

void printText(CheckedOutput& out, const StatisticFilter& f, const AccuracyFigures& a,
               const std::optional<PositionCentre>& reference) {
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
  if (reference)
    out.print("errors about: %.9f deg, %.9f deg, %.3f m\n", degrees(reference->latitude), degrees(reference->longitude),
              reference->height);
  else
    out.print("errors about: the mean position\n");
  for (const AccuracyFigureName& figure : kAccuracyFigureNames)
    out.print("%s: %.3f m\n", figure.label, a.*figure.value);
}

void printJson(CheckedOutput& output, const StatisticFilter& f, const AccuracyFigures& a) {
  JsonWriter out(output);
  out.beginObject();
  writeStatisticFields(out, f);
  for (const AccuracyFigureName& figure : kAccuracyFigureNames) out.field(figure.key, a.*figure.value);
  out.endObject();
}

}  // namespace

int runStats(int argc, char** argv) {
  if (asksForHelp(argc, argv)) return printHelp(kUsage);
  PlaybackArguments arguments;
  std::optional<PositionCentre> reference;
  bool json = false;
  const auto own = [&](int& i) {
    const std::string_view arg = argv[i];
    if (arg == "--json") return json = true;
    if (arg != "--ref" || i + 1 >= argc) return false;
    reference = referencePoint(argv[++i]);
    return reference.has_value();
  };
  if (!readPlaybackArguments(argc, argv, arguments, own)) return usageError();
  std::vector<std::string>& files = arguments.files;
  if (files.empty()) files.emplace_back();  // standard input
  Recordings recordings;
  for (const std::string& file : files)
    if (!recordings.add(file, arguments.protocol)) return usageError();

  // One run of statistics over all files, as the window accumulates from the
  // start of a playback; each file starts with freshly reset decoders.
  FreshFilter window;
  AccuracyFigures figures;
  if (!measureAccuracy(recordings, arguments.statistic, reference, window, figures)) return 1;
  CheckedOutput out = standardOutput();
  if (json)
    printJson(out, window.filter, figures);
  else
    printText(out, window.filter, figures, reference);
  return out.finish() ? 0 : 1;
}

}  // namespace veltrano
