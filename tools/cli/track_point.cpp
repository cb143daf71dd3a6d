#include "track_point.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "util/formatters.h"

namespace veltrano {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number of two digits at `at`, or -1.
int twoDigits(std::string_view text, size_t at) {
  if (!isDigit(text[at]) || !isDigit(text[at + 1])) return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

struct Date {
  int year, month, day;
};

// "dd.mm.yy"; two-digit years from 80 are of the 1900s.
bool readDate(std::string_view text, Date& date) {
  if (text.size() != 8 || text[2] != '.' || text[5] != '.') return false;
  const int yy = twoDigits(text, 6);
  date = {yy < 80 ? 2000 + yy : 1900 + yy, twoDigits(text, 3), twoDigits(text, 0)};
  return yy >= 0 && date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

// "hh:mm:ss" with an optional fraction of a second.
bool isTimeOfDay(std::string_view text) {
  constexpr size_t kLongest = 16;
  if (text.size() < 8 || text.size() > kLongest || text[2] != ':' || text[5] != ':') return false;
  const int hh = twoDigits(text, 0), mm = twoDigits(text, 3), ss = twoDigits(text, 6);
  if (hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 || ss > 59) return false;
  if (text.size() == 8) return true;
  if (text[8] != '.' || text.size() == 9) return false;
  for (char c : text.substr(9))
    if (!isDigit(c)) return false;
  return true;
}

void setTime(const Fix& fix, TrackPoint& point) {
  const std::string_view time(fix.utcText);
  Date date{};
  if (!readDate(fix.dateText, date) || !isTimeOfDay(time)) return;
  std::snprintf(point.time, sizeof point.time, "%04d-%02d-%02dT%.*sZ", date.year, date.month, date.day,
                int(time.size()), time.data());
}

struct StatusWords {
  const char* text;
  const char* gpx;
};

StatusWords statusWords(FixStatus status) {
  switch (status) {
    case FixStatus::Stale:
      return {"OLD", "none"};
    case FixStatus::Corrected:
      return {"CORR", nullptr};
    case FixStatus::TwoD:
      return {"2D", "2d"};
    case FixStatus::ThreeD:
      return {"3D", "3d"};
    case FixStatus::TwoDDiff:
      return {"2D diff", "dgps"};
    case FixStatus::ThreeDDiff:
      return {"3D diff", "dgps"};
    case FixStatus::RtkInt:
      return {"RTK Int", "dgps"};
    case FixStatus::RtkFloat:
      return {"RTK Float", "dgps"};
    case FixStatus::Estimated:
      return {"DR", nullptr};
    case FixStatus::Undefined:
      break;
  }
  return {"Undef", nullptr};
}

double dilution(const Dop& dop) {
  const double value = dop.dop();
  return dop.form != Dop::Form::Absent && std::isfinite(value) && value > 0 ? value : 0;
}

}  // namespace

bool makeTrackPoint(const Fix& fix, TrackPoint& point) {
  if (!(std::fabs(fix.latitude) <= kPi / 2) || !(std::fabs(fix.longitude) <= kPi)) return false;
  point = TrackPoint{};
  point.latitude = fix.latitude * (180 / kPi);
  point.longitude = fix.longitude * (180 / kPi);
  point.hasHeight = fix.hasHeight && std::isfinite(fix.height);
  point.height = point.hasHeight ? fix.height : 0;
  setTime(fix, point);
  const StatusWords words = statusWords(fix.status);
  point.status = words.text;
  point.gpxFix = words.gpx;
  point.hasSats = fix.hasSatsUsed;
  point.sats = fix.satsUsed;
  point.hdop = dilution(fix.hdop);
  point.vdop = dilution(fix.vdop);
  return true;
}

}  // namespace veltrano
