#pragma once
// An exported track in one of the map formats, written as the points come.
// Formats that draw the track as a line after its points (KML, GeoJSON) are
// handed the points a second time for it.
#include <memory>
#include <optional>
#include <string_view>

#include "checked_output.h"
#include "track_point.h"

namespace veltrano {

class TrackWriter {
 public:
  explicit TrackWriter(CheckedOutput& out) : out_(out) {}
  virtual ~TrackWriter() = default;
  TrackWriter(const TrackWriter&) = delete;
  TrackWriter& operator=(const TrackWriter&) = delete;

  virtual void begin() = 0;
  virtual void point(const TrackPoint& point) = 0;
  // Whether the format wants the line: beginLine, every point again through
  // linePoint, endLine. Only called for two points or more, the fewest a line has.
  virtual bool drawsLine() const { return false; }
  virtual void beginLine() {}
  virtual void linePoint(const TrackPoint&) {}
  virtual void endLine() {}
  virtual void end() = 0;

 protected:
  CheckedOutput& out_;
};

enum class TrackFormat { Gpx, Kml, Csv, GeoJson };

// gpx, kml, csv or geojson; nothing for any other name.
std::optional<TrackFormat> trackFormat(std::string_view name);

std::unique_ptr<TrackWriter> makeTrackWriter(TrackFormat format, CheckedOutput& out);

}  // namespace veltrano
