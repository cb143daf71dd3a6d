#include "util/settings_file.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

namespace veltrano {

namespace {

constexpr const char* kShownKeys[6] = {"PositionCheckBox", "StatisticCheckBox", "SatellitesCheckBox",
                                       "VisualCheckBox",   "ProfileCheckBox",   "SNRCheckBox"};

using Values = std::map<std::pair<std::string, std::string>, std::string>;

std::string trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  const size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

Values parse(std::istream& in) {
  Values values;
  std::string section, line;
  while (std::getline(in, line)) {
    line = trimmed(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    values[{section, trimmed(line.substr(0, equals))}] = trimmed(line.substr(equals + 1));
  }
  return values;
}

const std::string* find(const Values& values, const char* section, const char* key) {
  const auto it = values.find({section, key});
  return it == values.end() ? nullptr : &it->second;
}

std::optional<int32_t> readInt(const Values& values, const char* section, const char* key) {
  const std::string* text = find(values, section, key);
  if (!text) return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

void readFlag(const Values& values, const char* section, const char* key, bool& flag) {
  if (const std::optional<int32_t> value = readInt(values, section, key)) flag = *value != 0;
}

void readReal(const Values& values, const char* section, const char* key, double& real) {
  const std::string* text = find(values, section, key);
  if (!text || text->empty()) return;
  // Written with a point; a comma from another locale reads the same.
  std::string number = *text;
  for (char& c : number)
    if (c == ',') c = '.';
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(number.c_str(), &end);
  if (end == number.c_str() + number.size() && errno == 0) real = value;
}

std::string realText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace

Settings readSettings(const std::string& path) {
  Settings s;
  std::ifstream in(path);
  if (!in) return s;
  const Values values = parse(in);
  s.left = readInt(values, "Position", "Left");
  s.top = readInt(values, "Position", "Top");
  if (const auto item = readInt(values, "Port", "BaudComboBox"); item && *item >= 0 && *item <= 8) s.baudItem = *item;
  if (const auto item = readInt(values, "Port", "ProtComboBox"); item && *item >= 0 && *item <= 2)
    s.protocolItem = *item;
  readFlag(values, "Port", "RawDataCheckBox", s.debugData);
  s.maxAltValue = readInt(values, "Other", "maxAltUpDown").value_or(0);
  s.radiusValue = readInt(values, "Other", "RUpDown").value_or(0);
  readReal(values, "Other", "b_fix", s.refLat);
  readReal(values, "Other", "l_fix", s.refLon);
  readReal(values, "Other", "h_fix", s.refHeight);
  readFlag(values, "Misc", "soundEnabled", s.soundEnabled);
  s.maxPoints = readInt(values, "Misc", "max_points").value_or(10000);
  for (size_t i = 0; i < s.shown.size(); ++i) readFlag(values, "Checked", kShownKeys[i], s.shown[i]);
  return s;
}

bool writeSettings(const std::string& path, const Settings& s) {
  std::ostringstream out;
  out << "[Position]\n"
      << "Left=" << s.left.value_or(0) << "\n"
      << "Top=" << s.top.value_or(0) << "\n"
      << "[Port]\n"
      << "BaudComboBox=" << s.baudItem << "\n"
      << "ProtComboBox=" << s.protocolItem << "\n"
      << "RawDataCheckBox=" << (s.debugData ? 1 : 0) << "\n"
      << "[Other]\n"
      << "maxAltUpDown=" << s.maxAltValue << "\n"
      << "RUpDown=" << s.radiusValue << "\n"
      << "b_fix=" << realText(s.refLat) << "\n"
      << "l_fix=" << realText(s.refLon) << "\n"
      << "h_fix=" << realText(s.refHeight) << "\n"
      << "[Misc]\n"
      << "soundEnabled=" << (s.soundEnabled ? 1 : 0) << "\n"
      << "max_points=" << s.maxPoints << "\n"
      << "[Checked]\n";
  for (size_t i = 0; i < s.shown.size(); ++i) out << kShownKeys[i] << "=" << (s.shown[i] ? 1 : 0) << "\n";
  const std::string text = out.str();

  const std::string temporary = path + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool flushed = std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !flushed || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace veltrano
