#include "message_json.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "util/formatters.h"

namespace veltrano {

namespace {

constexpr double kDegreesPerRadian = 180.0 / kPi;

// The name of every kind from Error on, checked when the program is built.
template <size_t... Offsets>
consteval std::array<JsonKey, sizeof...(Offsets)> kindNames(std::index_sequence<Offsets...>) {
  return {JsonKey(std::string_view(nmeaKindName(NmeaKind(int(NmeaKind::Error) + int(Offsets)))))...};
}
constexpr auto kKindNames = kindNames(std::make_index_sequence<int(NmeaKind::VER) - int(NmeaKind::Error) + 1>());

void header(JsonWriter& out, JsonKey type, int64_t offset) {
  out.beginObject();
  out.fixedField("type", type);
  out.field("offset", offset);
}

template <typename Sat>
void writeSats(JsonWriter& out, const Sat* sats, int count) {
  using json_detail::integerText, json_detail::literalText;
  // Each member a number of at most 20 characters.
  constexpr size_t kBound = sizeof R"({"system":,"number":,"elevation":,"azimuth":,"snr":})" + 5 * 20;
  out.beginArray("sats");
  for (int i = 0; i < count; ++i) {
    const Sat& sat = sats[i];
    out.element(kBound, [&sat](char* text) {
      text = integerText(literalText(text, R"({"system":)"), sat.system);
      text = integerText(literalText(text, R"(,"number":)"), sat.number);
      text = integerText(literalText(text, R"(,"elevation":)"), sat.elevation);
      text = integerText(literalText(text, R"(,"azimuth":)"), sat.azimuth);
      text = integerText(literalText(text, R"(,"snr":)"), sat.snr);
      *text++ = '}';
      return text;
    });
  }
  out.endArray();
}

}  // namespace

void writeErrorMessage(JsonWriter& out, int64_t offset, const char* protocol) {
  header(out, "error", offset);
  out.field("protocol", protocol);
  out.endObject();
}

void writeNmeaMessage(JsonWriter& out, int64_t offset, NmeaKind kind, const NmeaFieldTable& fields) {
  header(out, "nmea", offset);
  out.field("kind", int64_t(kind));
  // A kind beyond the table is named "Error", as nmeaKindName names it.
  const size_t name = size_t(int(kind) - int(NmeaKind::Error));
  out.fixedField("name", kKindNames[name < kKindNames.size() ? name : 0]);
  out.beginArray("fields");
  out.values(fields.field, std::min<size_t>(fields.fieldCount, NmeaFieldTable::kFieldSlots));
  out.endArray();
  out.endObject();
}

void writeBinrMessage(JsonWriter& out, int64_t offset, int id, const BinrState& state) {
  header(out, "binr", offset);
  out.field("id", int64_t(id));
  switch (id) {
    case 0x88:
    case 0x90: {
      const BinrNavSolution& nav = state.navSolution;
      out.field("lat_deg", nav.latitude * kDegreesPerRadian);
      out.field("lon_deg", nav.longitude * kDegreesPerRadian);
      out.field("height_m", nav.height);
      out.field("rms_m", double(nav.rmsError));
      out.field("tow_ms", nav.timeOfWeek);
      out.field("week", int64_t(nav.week));
      out.field("status", int64_t(nav.solutionStatus));
      break;
    }
    case 0x60:
      out.field("gps_used", int64_t(state.dop.gpsUsed));
      out.field("glonass_used", int64_t(state.dop.glonassUsed));
      out.field("hdop", double(state.dop.hdop));
      out.field("vdop", double(state.dop.vdop));
      break;
    case 0x70:
      out.field("version", state.version.versionText);
      break;
    case 0x93: {
      const BinrStatus& status = state.status;
      out.field("flags1", int64_t(status.statusFlags1));
      out.field("flags2", int64_t(status.statusFlags2));
      out.field("flags3", int64_t(status.statusFlags3));
      out.field("gps_mask", int64_t(status.gpsUsedMask));
      out.field("glonass_mask", int64_t(status.glonassUsedMask));
      out.field("galileo_mask", int64_t(status.galileoUsedMask));
      out.beginArray("excluded");
      for (int i = 0; i < status.excludedCount; ++i) out.value(int64_t(status.excludedId[i]));
      out.endArray();
      break;
    }
    case 0x52:
      writeSats(out, state.satsInView.sat, state.satsInView.satCount);
      break;
    default:
      break;
  }
  out.endObject();
}

void writeBinr2Message(JsonWriter& out, int64_t offset, int id, const Binr2State& state) {
  header(out, "binr2", offset);
  out.field("id", int64_t(id));
  switch (id) {
    case 0x80:
      out.field("acked", int64_t(state.ack.ackedCommand));
      break;
    case 0x90: {
      const Binr2NavSolution& nav = state.navSolution;
      out.field("tow_ms", int64_t(nav.timeOfWeek));
      out.field("week", int64_t(nav.week));
      out.field("time_scale", int64_t(nav.timeScale));
      out.field("lat_deg", nav.latitude * 1e-7);
      out.field("lon_deg", nav.longitude * 1e-7);
      out.field("height_m", (double(nav.ellipsoidHeight) - nav.geoidSeparation) / 100);
      out.field("geoid_m", nav.geoidSeparation / 100.0);
      out.field("error_m", std::sqrt(double(nav.errorComponent1) * nav.errorComponent1 +
                                     double(nav.errorComponent2) * nav.errorComponent2) * 0.1);
      out.field("vn_mps", nav.velocityNorth / 100.0);
      out.field("ve_mps", nav.velocityEast / 100.0);
      out.field("hdop", nav.hdop / 10.0);
      out.field("vdop", nav.vdop / 10.0);
      out.field("flags1", int64_t(nav.statusFlags1));
      out.field("flags2", int64_t(nav.statusFlags2));
      out.field("gps_used", int64_t(nav.gpsUsed));
      out.field("glonass_used", int64_t(nav.glonassUsed));
      out.field("galileo_used", int64_t(nav.galileoUsed));
      break;
    }
    case 0xA0:
      writeSats(out, state.satsInView.sat, state.satsInView.satCount);
      break;
    case 0xA1: {
      const Binr2SatMasks& m = state.satMasks;
      out.field("used_flags", int64_t(m.usedFlags));
      out.field("rejected_flags", int64_t(m.rejectedFlags));
      if (m.usedFlags & 0x01) out.field("glonass_used_mask", int64_t(m.glonassUsedMask));
      if (m.rejectedFlags & 0x01) out.field("glonass_rejected_mask", int64_t(m.glonassRejectedMask));
      if (m.usedFlags & 0x02) out.field("gps_used_mask", int64_t(m.gpsUsedMask));
      if (m.rejectedFlags & 0x02) out.field("gps_rejected_mask", int64_t(m.gpsRejectedMask));
      if (m.usedFlags & 0x08) out.field("galileo_used_mask", uint64_t(m.galileoUsedMask));
      if (m.rejectedFlags & 0x08) out.field("galileo_rejected_mask", uint64_t(m.galileoRejectedMask));
      break;
    }
    case 0xB2:
      out.fieldBool("leap_valid", state.timeInfo.leapSecondsValid);
      out.field("leap_seconds", int64_t(state.timeInfo.leapSeconds));
      break;
    case 0xC0:
      out.field("device", state.deviceId.deviceName);
      out.field("major", state.deviceId.versionMajor);
      out.field("minor", state.deviceId.versionMinor);
      out.field("extra", state.deviceId.deviceExtra);
      break;
    default:
      break;
  }
  out.endObject();
}

}  // namespace veltrano
