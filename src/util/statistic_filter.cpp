#include "util/statistic_filter.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

constexpr const char* kDesignLat = "00\xB0" "00.00000N";
constexpr const char* kDesignLon = "000\xB0" "00.00000E";
constexpr const char* kDesignAlt = "+0000.00";
constexpr const char* kDesignRms = "0.000";
constexpr const char* kDesignCount = "0";
// Room for any double printed in fixed notation.
constexpr int kTextSize = 400;
// Room the texts keep from the start, so that ordinary figures never allocate.
constexpr size_t kTextReserve = 32;

constexpr double kRmsLimit = 999.99;
constexpr double kKilometresPerNauticalMile = 1.852;

// Single precision as the hardware rounds it: beyond the range gives infinity.
float toSingle(double value) {
  if (value > FLT_MAX) return HUGE_VALF;
  if (value < -FLT_MAX) return -HUGE_VALF;
  return float(value);
}

// The single-precision DOP against the double limit: a GGA HDOP of 1.2 is held
// as 1.2000000477 and so lies above a limit of 1.2.
bool dopPasses(const DopLimit& limit, float dop) { return limit.unlimited || limit.value >= double(dop); }

// A BINR2 DOP in tenths against ten times the limit.
bool dopTenthsPasses(const DopLimit& limit, uint8_t tenths) { return limit.unlimited || tenths <= limit.value * 10; }

// GGA fix quality of a GNS mode indicator.
int32_t gnsModeQuality(std::string_view mode) {
  switch (mode.empty() ? '\0' : mode[0]) {
    case 'A': return 1;
    case 'D': return 2;
    case 'E': return 6;
    case 'F': return 5;
    case 'R': return 4;
    default: return 0;
  }
}

void printRms(std::string& text, double value) {
  // A NaN fails the comparison and prints as stars too.
  if (!(value <= kRmsLimit)) {
    text = "******";
    return;
  }
  char buffer[kTextSize];
  std::snprintf(buffer, sizeof buffer, "%.3lf", value);
  text = buffer;
}

void printCount(std::string& text, int64_t value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
  text = buffer;
}

}  // namespace

DopLimit DopLimit::fromText(std::string_view text) {
  if (text == "0.0") return {};
  return {false, leadingReal(text)};
}

StatisticFilter::StatisticFilter(PositionStatistics& statistics) : statistics_(statistics) {
  for (std::string* text : {&texts_.lat, &texts_.lon, &texts_.alt, &texts_.rms2D, &texts_.rmsH, &texts_.rmsV,
                            &texts_.n, &texts_.nall, &texts_.nanom})
    text->reserve(kTextReserve);
  resetStatisticDisplay();
}

void StatisticFilter::resetStatisticDisplay() {
  texts_.rms2D = kDesignRms;
  texts_.rmsH = kDesignRms;
  texts_.rmsV = kDesignRms;
  texts_.lat = kDesignLat;
  texts_.lon = kDesignLon;
  texts_.alt = kDesignAlt;
  texts_.n = kDesignCount;
  texts_.nall = kDesignCount;
  texts_.nanom = kDesignCount;
  nCount_ = 0;
  nallCount_ = 0;
  nanomCount_ = 0;
}

bool StatisticFilter::updateBinrStatistic(const BinrState& binr) {
  const BinrNavSolution& nav = binr.navSolution;
  const uint8_t status = nav.solutionStatus;
  Candidate c;
  c.valid = status & 0x01;
  c.hdopPasses = dopPasses(settings.maxHdop, binr.dop.hdop);
  c.vdopPasses = dopPasses(settings.maxVdop, binr.dop.vdop);
  c.differential = status & 0x08;
  c.threeD = !(status & 0x02) && !(status & 0x20);
  c.anomaly = binr.status.statusFlags1 & 0x80;
  c.latitude = nav.latitude;
  c.longitude = nav.longitude;
  c.height = nav.height;
  c.speed = std::sqrt(nav.velocityNorth * nav.velocityNorth + nav.velocityEast * nav.velocityEast);
  return update(c);
}

bool StatisticFilter::updateBinr2Statistic(const Binr2State& binr2) {
  const Binr2NavSolution& nav = binr2.navSolution;
  const uint8_t flags = nav.statusFlags1;
  Candidate c;
  c.valid = flags & 0x01;
  c.hdopPasses = dopTenthsPasses(settings.maxHdop, nav.hdop);
  c.vdopPasses = dopTenthsPasses(settings.maxVdop, nav.vdop);
  c.differential = flags & 0x08;
  c.threeD = !(flags & 0x02) && !(flags & 0x04);
  c.anomaly = flags & 0x80;
  c.latitude = nav.latitude * 1e-7 * kPi * (1.0 / 180);
  c.longitude = nav.longitude * 1e-7 * kPi * (1.0 / 180);
  c.height = (double(nav.ellipsoidHeight) - double(nav.geoidSeparation)) * 0.01;
  const double north = nav.velocityNorth * 0.01;
  const double east = nav.velocityEast * 0.01;
  c.speed = float(std::sqrt(north * north + east * east));
  return update(c);
}

bool StatisticFilter::updateNmeaStatistic(const NmeaAssembler& nmea) {
  const NmeaFieldTable& gga = nmea.stored(NmeaKind::GGA);
  const NmeaFieldTable& gsa = nmea.stored(NmeaKind::GSA);
  const NmeaFieldTable& gns = nmea.stored(NmeaKind::GNS);
  const NmeaFieldTable& rmc = nmea.stored(NmeaKind::RMC);
  const int32_t source = nmea.positionSource;
  constexpr int32_t kAuto = 0;
  const bool fromGns = (source == kAuto && nmea.gnsCount > 0) || source == int32_t(NmeaKind::GNS);
  const bool fromGga = !fromGns && ((source == kAuto && nmea.ggaCount > 0) || source == int32_t(NmeaKind::GGA));

  int32_t quality = leadingInt(gga.text(6));
  const int32_t fixMode = leadingInt(gsa.text(2));
  float hdop = toSingle(leadingReal(gga.text(8)));
  const float vdop = toSingle(leadingReal(gsa.text(gsa.fieldCount - 1)));
  if (fromGns) {
    quality = gnsModeQuality(gns.text(6));
    hdop = toSingle(leadingReal(gns.text(8)));
  } else if (nmea.ggaCount == 0) {
    // Without GGA the RMC status decides; an empty status counts as valid.
    const std::string_view status = rmc.text(2);
    quality = (!status.empty() && status[0] == 'V') ? 0 : 1;
    hdop = toSingle(leadingReal(gsa.text(gsa.fieldCount - 2)));
  }

  Candidate c;
  c.valid = quality != 0;
  c.hdopPasses = dopPasses(settings.maxHdop, hdop);
  c.vdopPasses = dopPasses(settings.maxVdop, vdop);
  c.differential = quality == 2 || quality == 4 || quality == 5;
  c.estimated = quality >= 6;
  c.threeD = fixMode != 2;
  c.speed = leadingReal(rmc.text(7)) * kKilometresPerNauticalMile * (1 / 3.6);  // knots to m/s

  const NmeaFieldTable& sentence = fromGns ? gns : fromGga ? gga : rmc;
  const int first = (fromGns || fromGga) ? 2 : 3;  // latitude field
  c.latitude = nmeaCoordinateToRadians(sentence.text(first), sentence.text(first + 1), 2);
  c.longitude = nmeaCoordinateToRadians(sentence.text(first + 2), sentence.text(first + 3), 3);
  c.height = (fromGns || fromGga) ? leadingReal(sentence.text(9)) : 0;
  return update(c);
}

bool StatisticFilter::passes(const Candidate& c) const {
  return c.valid && c.hdopPasses && c.vdopPasses && (!settings.diffOnly || c.differential) &&
         (!settings.obs || !c.estimated) && (!settings.threeDOnly || c.threeD);
}

bool StatisticFilter::update(const Candidate& c) {
  const bool accepted = passes(c);
  if (accepted) {
    const PositionSampleResult r = addPositionSample(statistics_, c.latitude, c.longitude, c.height, c.speed);
    nCount_ = r.count;
    meanLat_ = r.meanLat;
    meanLon_ = r.meanLon;
    meanHeight_ = r.meanHeight;
    rms2D_ = r.rms2D;
    rmsH_ = r.rmsH;
    rmsV_ = r.rmsV;
    showResults();
  }
  if (c.anomaly) ++nanomCount_;
  ++nallCount_;
  showCounters();
  return accepted;
}

void StatisticFilter::showResults() {
  printRms(texts_.rms2D, rms2D_);
  printRms(texts_.rmsH, rmsH_);
  printRms(texts_.rmsV, rmsV_);
  texts_.lat = formatLatitude(meanLat_);
  texts_.lon = formatLongitude(meanLon_);
  char buffer[kTextSize];
  std::snprintf(buffer, sizeof buffer, "%+08.2lf", meanHeight_);
  texts_.alt = buffer;
  printCount(texts_.n, nCount_);
}

void StatisticFilter::showCounters() {
  printCount(texts_.nanom, nanomCount_);
  printCount(texts_.nall, nallCount_);
}

}  // namespace veltrano
