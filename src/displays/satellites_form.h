#pragma once
// The Satellites window: the receiver's status flags and, per system, the
// number of satellites the solution uses, their numbers in black and the
// numbers of the rejected satellites in red. BINR and BINR2 rebuild it from
// each navigation solution; NMEA collects the GSA sentences of an epoch.
#include <cstdint>

#include "displays/satellite_list.h"
#include "displays/tool_form.h"
#include "displays/used_satellite.h"

namespace veltrano {

class AutoLabel;

class TSatellitesForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TSatellitesForm(AppContext& app);

  static constexpr int kMaxUsed = 64;
  static constexpr int kFlagCount = 15;
  static constexpr int kRowCount = 4;  // GPS, GLONASS, Galileo, BeiDou

  // Status flags dark, the GPS, GLONASS and Galileo lists empty, no used
  // satellites; counts and the BeiDou row stay.
  void clearSatelliteStatus();
  // Rebuilds the window from the BINR receiver status (message 0x93).
  void showBinrSatellites();
  // Rebuilds the window from the BINR2 solution and satellite masks.
  void showBinr2Satellites();
  // Adds the satellites of the stored GSA sentence to the group being
  // collected; the first GSA of a new group shows the group before it.
  void showGsaSatellites();
  // The figures of the stored BSS sentence in StatusInfoLabel.
  void showBssStatus();
  // StatusInfoLabel over the flag row with "not available" (NMEA), or hidden.
  void showNotAvailable(bool shown);

  // The satellites used by the solution; the Visual window reads the first usedCount.
  UsedSatellite usedSatellites[kMaxUsed] = {};
  uint8_t usedCount = 0;
  // The next GSA sentence begins a new group; set by every other NMEA sentence.
  bool newGsaGroup = true;

 private:
  void lightFlags(uint8_t flags1, uint8_t flags2, bool beidouFlag);
  void addUsed(uint8_t system, int number);
  // A row's used list, rejected list and the rejected list placed after the used one.
  void showRow(int row, const SatelliteList& used, const SatelliteList& rejected);
  void showUsed(int row, const SatelliteList& used);
  void placeRejected(int row);
  void showCount(int row, int count);
  // Shows the group collected from the GSA sentences so far.
  void showGsaGroup();
  void setStatusInfo(const QString& text);

  AutoLabel* flags_[kFlagCount];
  QLabel* statusInfoLabel_;
  AutoLabel* quantLabels_[kRowCount];
  AutoLabel* numLabels_[kRowCount];
  AutoLabel* badLabels_[kRowCount];
  // Working lists of a rebuild, one per row.
  SatelliteList used_[kRowCount];
  SatelliteList rejected_[kRowCount];
};

}  // namespace veltrano
