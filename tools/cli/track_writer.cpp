#include "track_writer.h"

namespace veltrano {

namespace {

const char kTrackName[] = "VELTRANO track";

// GPX 1.1: one track of one segment, a trkpt per point with its elements in
// the schema's order.
class GpxWriter : public TrackWriter {
 public:
  using TrackWriter::TrackWriter;
  void begin() override {
    out_.print(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"VELTRANO\" xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
        "     xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
        "     xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        " <trk>\n  <name>%s</name>\n  <trkseg>\n",
        kTrackName);
  }
  void point(const TrackPoint& p) override {
    out_.print("   <trkpt lat=\"%.9f\" lon=\"%.9f\">", p.latitude, p.longitude);
    if (p.hasHeight) out_.print("<ele>%.3f</ele>", p.height);
    if (p.time[0]) out_.print("<time>%s</time>", p.time);
    if (p.gpxFix) out_.print("<fix>%s</fix>", p.gpxFix);
    if (p.hasSats) out_.print("<sat>%d</sat>", int(p.sats));
    if (p.hdop > 0) out_.print("<hdop>%.2f</hdop>", p.hdop);
    if (p.vdop > 0) out_.print("<vdop>%.2f</vdop>", p.vdop);
    out_.write("</trkpt>\n");
  }
  void end() override { out_.write("  </trkseg>\n </trk>\n</gpx>\n"); }
};

// KML 2.2: a placemark per point, numbered from 1, with its time stamp and
// the other figures as extended data; then the track as one line.
class KmlWriter : public TrackWriter {
 public:
  using TrackWriter::TrackWriter;
  void begin() override {
    out_.print(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        "<Document>\n<name>%s</name>\n",
        kTrackName);
  }
  void point(const TrackPoint& p) override {
    out_.print("<Placemark><name>%lld</name>", ++number_);
    if (p.time[0]) out_.print("<TimeStamp><when>%s</when></TimeStamp>", p.time);
    out_.print("<ExtendedData>");
    data("status", "%s", p.status);
    if (p.hasSats) data("sats", "%d", int(p.sats));
    if (p.hdop > 0) data("hdop", "%.2f", p.hdop);
    if (p.vdop > 0) data("vdop", "%.2f", p.vdop);
    out_.print("</ExtendedData><Point>%s<coordinates>", p.hasHeight ? "<altitudeMode>absolute</altitudeMode>" : "");
    coordinates(p);
    out_.write("</coordinates></Point></Placemark>\n");
  }
  bool drawsLine() const override { return true; }
  void beginLine() override {
    out_.write("<Placemark><name>Track</name><LineString><altitudeMode>absolute</altitudeMode><coordinates>\n");
  }
  void linePoint(const TrackPoint& p) override {
    coordinates(p);
    out_.write("\n");
  }
  void endLine() override { out_.write("</coordinates></LineString></Placemark>\n"); }
  void end() override { out_.write("</Document>\n</kml>\n"); }

 private:
  template <typename Value>
  void data(const char* name, const char* format, Value value) {
    out_.print("<Data name=\"%s\"><value>", name);
    out_.print(format, value);
    out_.write("</value></Data>");
  }
  void coordinates(const TrackPoint& p) {
    out_.print("%.9f,%.9f", p.longitude, p.latitude);
    if (p.hasHeight) out_.print(",%.3f", p.height);
  }
  long long number_ = 0;
};

// A header row, then a row per point; an unknown figure is an empty field.
class CsvWriter : public TrackWriter {
 public:
  using TrackWriter::TrackWriter;
  void begin() override { out_.write("time,latitude_deg,longitude_deg,height_m,status,sats,hdop,vdop\n"); }
  void point(const TrackPoint& p) override {
    out_.print("%s,%.9f,%.9f,", p.time, p.latitude, p.longitude);
    if (p.hasHeight) out_.print("%.3f", p.height);
    out_.print(",%s,", p.status);
    if (p.hasSats) out_.print("%d", int(p.sats));
    out_.write(",");
    if (p.hdop > 0) out_.print("%.2f", p.hdop);
    out_.write(",");
    if (p.vdop > 0) out_.print("%.2f", p.vdop);
    out_.write("\n");
  }
  void end() override {}
};

// A FeatureCollection: a Point feature per point with its figures as
// properties (null where unknown), then the track as one LineString feature.
class GeoJsonWriter : public TrackWriter {
 public:
  using TrackWriter::TrackWriter;
  void begin() override { out_.write("{\"type\":\"FeatureCollection\",\"features\":[\n"); }
  void point(const TrackPoint& p) override {
    out_.write(first_ ? "" : ",\n");
    first_ = false;
    out_.write("{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":");
    position(p);
    out_.write("},\"properties\":{\"time\":");
    if (p.time[0])
      out_.print("\"%s\"", p.time);
    else
      out_.write("null");
    out_.write(",\"height_m\":");
    number("%.3f", p.hasHeight, p.height);
    out_.print(",\"status\":\"%s\",\"sats\":", p.status);
    number("%.0f", p.hasSats, double(p.sats));
    out_.write(",\"hdop\":");
    number("%.2f", p.hdop > 0, p.hdop);
    out_.write(",\"vdop\":");
    number("%.2f", p.vdop > 0, p.vdop);
    out_.write("}}");
  }
  bool drawsLine() const override { return true; }
  void beginLine() override {
    out_.write(",\n{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":[");
    first_ = true;
  }
  void linePoint(const TrackPoint& p) override {
    out_.write(first_ ? "\n" : ",\n");
    first_ = false;
    position(p);
  }
  void endLine() override { out_.print("]},\"properties\":{\"name\":\"%s\"}}", kTrackName); }
  void end() override { out_.write("\n]}\n"); }

 private:
  void position(const TrackPoint& p) {
    out_.print("[%.9f,%.9f", p.longitude, p.latitude);
    if (p.hasHeight) out_.print(",%.3f", p.height);
    out_.write("]");
  }
  void number(const char* format, bool known, double value) {
    if (known)
      out_.print(format, value);
    else
      out_.write("null");
  }
  bool first_ = true;
};

}  // namespace

std::optional<TrackFormat> trackFormat(std::string_view name) {
  if (name == "gpx") return TrackFormat::Gpx;
  if (name == "kml") return TrackFormat::Kml;
  if (name == "csv") return TrackFormat::Csv;
  if (name == "geojson") return TrackFormat::GeoJson;
  return std::nullopt;
}

std::unique_ptr<TrackWriter> makeTrackWriter(TrackFormat format, CheckedOutput& out) {
  switch (format) {
    case TrackFormat::Gpx:
      return std::make_unique<GpxWriter>(out);
    case TrackFormat::Kml:
      return std::make_unique<KmlWriter>(out);
    case TrackFormat::Csv:
      return std::make_unique<CsvWriter>(out);
    case TrackFormat::GeoJson:
      break;
  }
  return std::make_unique<GeoJsonWriter>(out);
}

}  // namespace veltrano
