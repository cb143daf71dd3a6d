#include "control_arguments.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "statistic_options.h"

namespace veltrano {

const char kControlCommandsHelp[] =
    "  restart [cold|warm]               Device Restart (cold)\n"
    "  sat-system [gps] [gln] [sbas] [gll] | none\n"
    "                                    Sat System, the systems ticked (gps gln sbas)\n"
    "  elevation DEG                     Elevation Mask, 0 to 90 (5)\n"
    "  max-rms M                         Max RMS, 0 to 1000 in steps of 10 (200); BINR, BINR2\n"
    "  filter D.D                        Dynamic Filter, 0.0 to 9.9 (1.0)\n"
    "  pvt-rate HZ                       PVT Rate, 1, 2, 5, 10, 20, 25, 50 or 100 (1)\n"
    "  pvt-set [2d] [raim] | none        PVT Set, the options ticked (2d raim); BINR, BINR2\n"
    "  text TEXT                         the free line: NMEA text with or without its \"$\", or\n"
    "                                    BINR hexadecimal bytes, the id first (0C00); not BINR2\n";

namespace {

using Words = std::vector<std::string_view>;

std::optional<int> wholeNumber(std::string_view text, int lowest, int highest) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
    return std::nullopt;
  return value;
}

// The boxes of a row named by `names`: those given are ticked, the others not;
// "none" alone unticks them all. Without words the boxes keep their settings.
bool tickBoxes(const Words& words, std::initializer_list<std::pair<std::string_view, bool*>> boxes) {
  if (words.empty()) return true;
  for (const auto& box : boxes) *box.second = false;
  if (words.size() == 1 && words[0] == "none") return true;
  for (std::string_view word : words) {
    const auto box = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == word; });
    if (box == boxes.end()) return false;
    *box->second = true;
  }
  return true;
}

bool readSettings(ControlButton button, const Words& args, ControlSettings& s) {
  if (button == ControlButton::SatSystem)
    return tickBoxes(args, {{"gps", &s.gps}, {"gln", &s.gln}, {"sbas", &s.sbas}, {"gll", &s.gll}});
  if (button == ControlButton::PvtSet) return tickBoxes(args, {{"2d", &s.twoD}, {"raim", &s.raim}});
  if (args.size() > 1) return false;
  if (args.empty()) return true;
  const std::string_view arg = args[0];
  switch (button) {
    case ControlButton::Restart:
      if (arg != "cold" && arg != "warm") return false;
      s.cold = arg == "cold";
      return true;
    case ControlButton::Elevation: {
      const auto mask = wholeNumber(arg, 0, 90);
      if (mask) s.elevationMask = *mask;
      return mask.has_value();
    }
    case ControlButton::MaxRms: {
      // The up-down steps by 10.
      const auto rms = wholeNumber(arg, 0, 1000);
      if (rms && *rms % 10 == 0) s.maxRms = *rms;
      return rms && *rms % 10 == 0;
    }
    case ControlButton::Filter: {
      // One digit, a point and one digit, as the mask edit holds it.
      const auto text = limitText(arg);
      if (!text) return false;
      std::from_chars(text->data(), text->data() + text->size(), s.filter);
      return true;
    }
    case ControlButton::PvtRate: {
      static constexpr int kRates[] = {1, 2, 5, 10, 20, 25, 50, 100};
      const auto rate = wholeNumber(arg, 1, 100);
      if (!rate || std::find(std::begin(kRates), std::end(kRates), *rate) == std::end(kRates)) return false;
      s.rate = *rate;
      return true;
    }
    case ControlButton::SatSystem:
    case ControlButton::PvtSet:
      break;
  }
  return false;
}

struct Named {
  std::string_view name;
  ControlButton button;
};

constexpr Named kButtons[] = {{"restart", ControlButton::Restart},     {"sat-system", ControlButton::SatSystem},
                              {"elevation", ControlButton::Elevation}, {"max-rms", ControlButton::MaxRms},
                              {"filter", ControlButton::Filter},       {"pvt-rate", ControlButton::PvtRate},
                              {"pvt-set", ControlButton::PvtSet}};

}  // namespace

std::optional<ControlRequest> controlRequest(const Words& words) {
  if (words.empty()) return std::nullopt;
  ControlRequest request;
  const Words args(words.begin() + 1, words.end());
  if (words[0] == "text") {
    if (args.size() != 1) return std::nullopt;
    request.freeText = true;
    request.text = std::string(args[0]);
    return request;
  }
  for (const Named& named : kButtons) {
    if (words[0] != named.name) continue;
    request.button = named.button;
    if (!readSettings(named.button, args, request.settings)) return std::nullopt;
    return request;
  }
  return std::nullopt;
}

}  // namespace veltrano
