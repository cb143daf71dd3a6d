// The settings file: its exact form, the round trip, what bad files give, and
// the write that never leaves half a file.
#include "util/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
 protected:
  SettingsFile() {
    std::string pattern = (fs::temp_directory_path() / "veltrano-settings-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
    path = (dir / kSettingsFileName).string();
  }
  ~SettingsFile() override { fs::remove_all(dir); }
  void write(const std::string& text) { std::ofstream(path) << text; }
  std::string read() {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir;
  std::string path;
};

TEST_F(SettingsFile, WritesEveryKeyInItsOrderWithFlagsAsDigits) {
  Settings s;
  s.left = 12;
  s.top = -3;
  s.baudItem = 5;
  s.protocolItem = 2;
  s.debugData = true;
  s.maxAltValue = 4;
  s.radiusValue = 7;
  s.refLat = 0.5;
  s.refHeight = -12.25;
  s.soundEnabled = true;
  s.maxPoints = 500;
  s.shown = {true, false, true, false, false, true};
  ASSERT_TRUE(writeSettings(path, s));
  EXPECT_EQ(read(),
            "[Position]\nLeft=12\nTop=-3\n"
            "[Port]\nBaudComboBox=5\nProtComboBox=2\nRawDataCheckBox=1\n"
            "[Other]\nmaxAltUpDown=4\nRUpDown=7\nb_fix=0.5\nl_fix=0\nh_fix=-12.25\n"
            "[Misc]\nsoundEnabled=1\nmax_points=500\n"
            "[Checked]\nPositionCheckBox=1\nStatisticCheckBox=0\nSatellitesCheckBox=1\nVisualCheckBox=0\n"
            "ProfileCheckBox=0\nSNRCheckBox=1\n");
  EXPECT_FALSE(fs::exists(path + ".new"));
}

TEST_F(SettingsFile, RealsComeBackExactly) {
  Settings s;
  s.left = 0;
  s.top = 0;
  s.refLat = 0.97390187212947128;
  s.refLon = 0.65652917716003523;
  s.refHeight = 151.00000000000003;
  ASSERT_TRUE(writeSettings(path, s));
  EXPECT_EQ(readSettings(path), s);
}

TEST_F(SettingsFile, BadFilesGiveTheDefaults) {
  Settings defaults;
  struct Case {
    const char* name;
    std::string text;
    Settings expected;
  } cases[] = {
      {"empty", "", defaults},
      {"garbage", std::string("\x01\xff[[=\n=\n[Port\nBaudComboBox\n", 27), defaults},
      {"custom rate", "[Port]\nBaudComboBox=9\n", defaults},
      {"protocol out of range", "[Port]\nProtComboBox=3\n", defaults},
      {"negative protocol", "[Port]\nProtComboBox=-1\n", defaults},
      {"words", "[Other]\nRUpDown=five\nb_fix=north\n[Misc]\nmax_points=\n", defaults},
      {"key in another section", "[Misc]\nBaudComboBox=3\n", defaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write(c.text);
    EXPECT_EQ(readSettings(path), c.expected);
  }
  EXPECT_EQ(readSettings((dir / "missing.ini").string()), defaults);

  write("[Checked]\nVisualCheckBox=7\n[Port]\nBaudComboBox = 3\r\n[Other]\nl_fix=0,25\n");
  const Settings read = readSettings(path);
  EXPECT_TRUE(read.shown[3]);  // any non-zero integer is true
  EXPECT_EQ(read.baudItem, 3);
  EXPECT_EQ(read.refLon, 0.25);
  EXPECT_EQ(read.maxPoints, 10000);
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFile) {
  write("[Port]\nBaudComboBox=4\n");
  // The temporary name is taken by a directory: the new file cannot be made.
  fs::create_directory(path + ".new");
  EXPECT_FALSE(writeSettings(path, Settings{}));
  EXPECT_EQ(read(), "[Port]\nBaudComboBox=4\n");
  EXPECT_FALSE(writeSettings((dir / "missing" / kSettingsFileName).string(), Settings{}));
}

}  // namespace
}  // namespace veltrano
