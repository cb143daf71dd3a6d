#pragma once
// "veltrano.ini": the window position, serial settings, protocol, display
// options, reference point and open tool windows, kept between runs in the
// sectioned text form "[Section]" / "Key=Value", keys in a fixed order.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace veltrano {

struct Settings {
  // The main window's position; unset keeps it where it is.
  std::optional<int32_t> left, top;
  int32_t baudItem = 0;
  int32_t protocolItem = 0;
  bool debugData = false;
  int32_t maxAltValue = 0;
  int32_t radiusValue = 0;
  double refLat = 0, refLon = 0, refHeight = 0;
  bool soundEnabled = false;
  int32_t maxPoints = 10000;
  // Position, Statistic, Satellites, Visual, Profile, S/N ratio.
  std::array<bool, 6> shown{};

  bool operator==(const Settings&) const = default;
};

// The file's settings; a missing or unreadable file, section, key or value
// gives the default. A rate item outside 0 to 8 gives 0 (a typed rate is not
// kept) and a protocol item outside 0 to 2 gives 0 (NMEA).
Settings readSettings(const std::string& path);

// Writes the whole file under a temporary name and renames it, so the file is
// either the old one or the new one, never half written. False when it could not.
bool writeSettings(const std::string& path, const Settings& settings);

// The file's name in a directory.
inline constexpr const char* kSettingsFileName = "veltrano.ini";

}  // namespace veltrano
