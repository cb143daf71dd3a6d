#pragma once
// The text of one row's satellite numbers: "%02d " for every satellite, after
// "- " in a used list. The text grows as needed and keeps its room between
// rebuilds.
#include <QString>
#include <string>

namespace veltrano {

class SatelliteList {
 public:
  SatelliteList();

  // Empties the list; a used list starts with "- ".
  void startUsed();
  void startRejected();
  void append(int number);

  // Satellites appended since the start.
  int count() const { return count_; }
  // The text a row shows: empty for a used list that received no satellite.
  QString shown() const;

 private:
  std::string text_;
  int count_ = 0;
};

}  // namespace veltrano
