#pragma once
// The Satellites window: the receiver's status flags and, per system, the
// number of satellites the solution uses, their numbers in black and the
// numbers of the rejected satellites in red. BINR and BINR2 rebuild it from
// each navigation solution; NMEA collects the GSA sentences of an epoch.
#include <cstdint>

#include "decoding/nmea_field_table.h"
#include "decoding/solution_satellites.h"
#include "decoding/used_satellites.h"
#include "displays/held_drawing.h"
#include "displays/satellite_list.h"
#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;

class TSatellitesForm : public ToolForm, public HeldDrawing {
  Q_OBJECT
 public:
  TSatellitesForm();

  static constexpr int kFlagCount = 15;
  static constexpr int kRowCount = 4;  // GPS, GLONASS, Galileo, BeiDou

  // Status flags dark, the GPS, GLONASS and Galileo lists empty, no used
  // satellites; counts and the BeiDou row stay.
  void clearSatelliteStatus();
  // Rebuilds the window from the satellites of a BINR or BINR2 solution.
  void showSolutionSatellites(const SolutionSatellites& satellites);
  // Adds the satellites of a GSA sentence to the group being collected; the
  // first GSA of a new group shows the group before it.
  void showGsaSatellites(const NmeaFieldTable& gsa);
  // The figures of a BSS sentence in StatusInfoLabel.
  void showBssStatus(const NmeaFieldTable& bss);
  // StatusInfoLabel over the flag row with "not available" (NMEA), or hidden.
  void showNotAvailable(bool shown);

  // The satellites used by the solution, which the satellites-in-view table marks.
  UsedSatellites used;
  // The next GSA sentence begins a new group; set by every other NMEA sentence.
  bool newGsaGroup = true;

 protected:
  void drawKept() override;

 private:
  // What a row's labels are to show, as the last update that wrote each left
  // it; the used and rejected lists are those of used_ and rejected_.
  enum class ListShown : uint8_t { Unchanged, Empty, List };
  struct RowKept {
    bool count = false;
    int countShown = 0;
    ListShown used = ListShown::Unchanged;
    ListShown rejected = ListShown::Unchanged;
    // The rejected list placed after the used list, since its last rewrite.
    bool placed = false;
  };
  // The figures of the last BSS sentence.
  struct BssKept {
    bool kept = false;
    int32_t all = 0, errors = 0, valid = 0;
    double distance = 0;
  };

  // The flags dark and the GPS, GLONASS and Galileo lists empty.
  void clearRows();
  void lightFlags(uint8_t flags1, uint8_t flags2, bool beidouFlag);
  // A row's used list, rejected list and the rejected list placed after the used one.
  void showRow(int row);
  // Shows the group collected from the GSA sentences so far.
  void showGsaGroup();
  void setStatusInfo(const QString& text);
  void showBssFigures(const BssKept& bss);
  void showList(AutoLabel* label, ListShown shown, const SatelliteList& list);

  AutoLabel* flags_[kFlagCount];
  QLabel* statusInfoLabel_;
  AutoLabel* quantLabels_[kRowCount];
  AutoLabel* numLabels_[kRowCount];
  AutoLabel* badLabels_[kRowCount];
  // Working lists of a rebuild, one per row.
  SatelliteList used_[kRowCount];
  SatelliteList rejected_[kRowCount];
  // Kept for the next drawing: the lit flags, one bit each, the rows and
  // the BSS figures.
  uint16_t litFlags_ = 0;
  bool flagsKept_ = false;
  RowKept rowsKept_[kRowCount];
  BssKept keptBss_;
};

}  // namespace veltrano
