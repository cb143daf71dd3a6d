// Reads arbitrary bytes as a settings file: the values must stay in their
// ranges, and what is written back must read back the same.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "fuzz_check.h"
#include "util/settings_file.h"

namespace {

std::string scratchPath(const char* name) {
  static const std::string dir = [] {
    char pattern[] = "/tmp/veltrano-settings-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return dir + "/" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veltrano;
  const std::string input = scratchPath("input.ini");
  std::FILE* file = std::fopen(input.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  const Settings read = readSettings(input);
  FUZZ_CHECK(read.baudItem >= 0 && read.baudItem <= 8);
  FUZZ_CHECK(read.protocolItem >= 0 && read.protocolItem <= 2);
  Settings written = read;
  written.left = read.left.value_or(0);
  written.top = read.top.value_or(0);
  const std::string output = scratchPath(kSettingsFileName);
  FUZZ_CHECK(writeSettings(output, written));
  const Settings again = readSettings(output);
  // Reals such as NaN never compare equal; everything else reads back as written.
  FUZZ_CHECK(again.shown == written.shown && again.baudItem == written.baudItem &&
             again.protocolItem == written.protocolItem && again.maxPoints == written.maxPoints &&
             again.radiusValue == written.radiusValue && again.maxAltValue == written.maxAltValue &&
             again.left == written.left && again.top == written.top);
  for (const auto& [a, b] : {std::pair{again.refLat, written.refLat}, std::pair{again.refLon, written.refLon},
                             std::pair{again.refHeight, written.refHeight}})
    FUZZ_CHECK(a == b || (a != a && b != b));
  return 0;
}
