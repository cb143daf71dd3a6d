#pragma once
// The Statistic window's quality filters and accumulation, without widgets, so
// that the window and the command-line tool compute the same figures. Each
// navigation solution is filtered; an accepted one goes into the running
// position statistics, and the texts of the result labels follow. Every
// solution, accepted or not, is counted in Nall and, for BINR and BINR2 with
// the anomaly flag set, in Nanom.
#include <cstdint>
#include <string>
#include <string_view>

#include "decoding/fix.h"
#include "util/position_statistics.h"

namespace veltrano {

// A DOP limit as the window's edit holds it: the exact text "0.0" means no
// limit; any other text is read as a decimal number from its start, a text
// without one as 0.
struct DopLimit {
  bool unlimited = true;
  double value = 0;

  static DopLimit fromText(std::string_view text);
};

// The window's filter controls, with their design-time settings.
struct StatisticSettings {
  DopLimit maxHdop;          // HDOPEdit
  DopLimit maxVdop;          // VDOPEdit
  bool diffOnly = false;     // DiffCheckBox: differential solutions only
  bool obs = true;           // ObsCheckBox: NMEA estimated fixes rejected
  bool threeDOnly = false;   // _3DCheckBox: three-dimensional solutions only
};

// Whether the window's filters with these settings accept a navigation
// solution, as StatisticFilter::update decides.
bool acceptedBy(const StatisticSettings& settings, const Fix& fix);

// The texts of the window's result labels and counters.
struct StatisticTexts {
  std::string lat, lon, alt;        // LatLabel, LonLabel, AltLabel
  std::string rms2D, rmsH, rmsV;    // rms2DLabel, rmsHLabel, rmsVLabel
  std::string n, nall, nanom;       // NLabel, NallLabel, NanomLabel
};

class StatisticFilter {
 public:
  // Accepted samples go into `statistics`, which the owner resets.
  explicit StatisticFilter(PositionStatistics& statistics);

  // One navigation solution; true when it passed the filters and was added to
  // the statistics.
  bool update(const Fix& fix);

  // The texts go back to their design-time captions and the counters restart
  // at 0; the results of the last accepted sample stay.
  void resetStatisticDisplay();

  // Read at every solution; the window writes it whenever a control changes.
  StatisticSettings settings;

  // Results of the last accepted sample; 0 until the first one.
  double meanLat() const { return meanLat_; }        // radians
  double meanLon() const { return meanLon_; }        // radians
  double meanHeight() const { return meanHeight_; }  // metres
  double rms2D() const { return rms2D_; }            // metres
  double rmsH() const { return rmsH_; }              // metres
  double rmsV() const { return rmsV_; }              // metres per second

  int32_t nCount() const { return nCount_; }  // samples, as NLabel shows them
  int64_t nallCount() const { return nallCount_; }
  int64_t nanomCount() const { return nanomCount_; }

  const StatisticTexts& texts() const;

 private:
  void showResults();
  void showCounters();
  bool passes(const Fix& fix) const;
  void formatTexts() const;

  PositionStatistics& statistics_;
  double meanLat_ = 0, meanLon_ = 0, meanHeight_ = 0;
  double rms2D_ = 0, rmsH_ = 0, rmsV_ = 0;
  int32_t nCount_ = 0;
  int64_t nallCount_ = 0;
  int64_t nanomCount_ = 0;
  // Whether the result labels show the results rather than their design-time captions.
  bool resultsShown_ = false;
  mutable bool textsStale_ = false;
  mutable StatisticTexts texts_;
};

}  // namespace veltrano
