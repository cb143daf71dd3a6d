#include "statistic_json.h"

#include "util/formatters.h"

namespace veltrano {

namespace {
double degrees(double radians) { return radians * 180 / kPi; }
}  // namespace

void writeStatisticFields(JsonWriter& out, const StatisticFilter& f) {
  const StatisticTexts& t = f.texts();
  out.field("n", int64_t(f.nCount()));
  out.field("nall", f.nallCount());
  out.field("nanom", f.nanomCount());
  out.field("mean_lat_deg", degrees(f.meanLat()));
  out.field("mean_lon_deg", degrees(f.meanLon()));
  out.field("mean_height_m", f.meanHeight());
  out.field("rms2d_m", f.rms2D());
  out.field("rmsh_m", f.rmsH());
  out.field("rmsv", f.rmsV());
  out.field("lat_text", t.lat);
  out.field("lon_text", t.lon);
  out.field("height_text", t.alt);
}

}  // namespace veltrano
