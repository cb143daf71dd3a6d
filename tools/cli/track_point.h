#pragma once
// What an exported track holds of one accepted solution, in the units and
// words of map formats.
#include <cstdint>

#include "decoding/fix.h"

namespace veltrano {

struct TrackPoint {
  double latitude = 0, longitude = 0;  // degrees
  bool hasHeight = false;
  double height = 0;  // metres above the geoid
  // "YYYY-MM-DDThh:mm:ss[.ss]Z" of the date and time the Position window
  // shows, or empty when it shows no date or no time of day.
  char time[40] = {};
  const char* status = "";       // the Position window's text: "3D", "2D diff", "RTK Int", ...
  const char* gpxFix = nullptr;  // GPX's word for it (none, 2d, 3d, dgps), or none
  bool hasSats = false;
  int32_t sats = 0;
  double hdop = 0, vdop = 0;  // 0 where the receiver gave none
};

// False for a solution whose position is no place on the globe (not finite, a
// latitude beyond a pole or a longitude beyond 180 degrees): no map format can
// hold it.
bool makeTrackPoint(const Fix& fix, TrackPoint& point);

}  // namespace veltrano
