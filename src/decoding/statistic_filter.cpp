#include "decoding/statistic_filter.h"

#include <cstdio>

#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

constexpr const char* kDesignLat = "00\xB0" "00.00000N";
constexpr const char* kDesignLon = "000\xB0" "00.00000E";
constexpr const char* kDesignAlt = "+0000.00";
constexpr const char* kDesignRms = "0.000";
// Room for any double printed in fixed notation.
constexpr int kTextSize = 400;
// Room the texts keep from the start, so that ordinary figures never allocate.
constexpr size_t kTextReserve = 32;

constexpr double kRmsLimit = 999.99;

// The DOP against the double limit in the precision the receiver stated it:
// a GGA HDOP of 1.2 is held as the single 1.2000000477 and so lies above a limit
// of 1.2. A BINR2 DOP in tenths is compared with ten times the limit.
bool dopPasses(const DopLimit& limit, const Dop& dop) {
  if (limit.unlimited) return true;
  if (dop.form == Dop::Form::Tenths) return dop.value <= limit.value * 10;
  return limit.value >= double(toSingle(dop.value));
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

bool acceptedBy(const StatisticSettings& settings, const Fix& f) {
  return f.valid && dopPasses(settings.maxHdop, f.statisticHdop) && dopPasses(settings.maxVdop, f.vdop) &&
         (!settings.diffOnly || f.differential) && (!settings.obs || !f.estimated) &&
         (!settings.threeDOnly || f.threeD);
}

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
  nCount_ = 0;
  nallCount_ = 0;
  nanomCount_ = 0;
  resultsShown_ = false;
  textsStale_ = true;
}


bool StatisticFilter::update(const Fix& f) {
  const bool accepted = acceptedBy(settings, f);
  if (accepted) {
    const PositionSampleResult r =
        addPositionSample(statistics_, f.latitude, f.longitude, f.height, f.statisticSpeed);
    nCount_ = r.count;
    meanLat_ = r.meanLat;
    meanLon_ = r.meanLon;
    meanHeight_ = r.meanHeight;
    rms2D_ = r.rms2D;
    rmsH_ = r.rmsH;
    rmsV_ = r.rmsV;
    resultsShown_ = true;
  }
  if (f.anomaly) ++nanomCount_;
  ++nallCount_;
  textsStale_ = true;
  return accepted;
}

const StatisticTexts& StatisticFilter::texts() const {
  if (textsStale_) formatTexts();
  return texts_;
}

void StatisticFilter::formatTexts() const {
  textsStale_ = false;
  if (resultsShown_) {
    printRms(texts_.rms2D, rms2D_);
    printRms(texts_.rmsH, rmsH_);
    printRms(texts_.rmsV, rmsV_);
    texts_.lat = formatLatitude(meanLat_);
    texts_.lon = formatLongitude(meanLon_);
    char buffer[kTextSize];
    std::snprintf(buffer, sizeof buffer, "%+08.2lf", meanHeight_);
    texts_.alt = buffer;
  } else {
    texts_.rms2D = kDesignRms;
    texts_.rmsH = kDesignRms;
    texts_.rmsV = kDesignRms;
    texts_.lat = kDesignLat;
    texts_.lon = kDesignLon;
    texts_.alt = kDesignAlt;
  }
  printCount(texts_.n, nCount_);
  printCount(texts_.nanom, nanomCount_);
  printCount(texts_.nall, nallCount_);
}

}  // namespace veltrano
