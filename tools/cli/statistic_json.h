#pragma once
// The Statistic window's figures as JSON fields, for the commands that print them.
#include "decoding/statistic_filter.h"
#include "json_writer.h"

namespace veltrano {

// n, nall, nanom, mean_lat_deg, mean_lon_deg, mean_height_m, rms2d_m, rmsh_m,
// rmsv, lat_text, lon_text and height_text, into the object `out` has open.
void writeStatisticFields(JsonWriter& out, const StatisticFilter& filter);

}  // namespace veltrano
