#pragma once
// BINR recordings of navigation solutions placed on the Visual plot's plane
// about latitude and longitude 0, for the command-line tool's tests.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "util/formatters.h"

namespace veltrano::test {

// A solution `north` and `east` metres from (0, 0) on the plane, `height`
// metres high.
struct Solution {
  double north, east, height;
  uint8_t status = 0x01;  // valid
};

// The 0x88 frames of the solutions, written to `path`.
inline std::string writeBinrSolutions(const std::filesystem::path& path, const std::vector<Solution>& solutions) {
  Bytes recording;
  for (const Solution& s : solutions) {
    Bytes nav(69);
    const double lat = s.north / kMeridianNumerator;
    const double lon = s.east / (std::cos(lat) * kSemiMajorAxis);
    put(nav, 0, &lat, 8);
    put(nav, 8, &lon, 8);
    put(nav, 16, &s.height, 8);
    nav[68] = s.status;
    const Bytes frame = binrFrame(0x88, nav);
    recording.insert(recording.end(), frame.begin(), frame.end());
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(recording.data()), std::streamsize(recording.size()));
  return path.string();
}

}  // namespace veltrano::test
