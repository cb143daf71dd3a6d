// The record file as the reader fills it: numbered names instead of replaced
// files, the reopen around every 128 KiB, and nothing more after a failure.
#include "link/record_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "veltrano-record-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDirectory() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct NameCase {
  const char* name;
  const char* asked;
  bool withConversion;
  std::vector<const char*> existing;
  const char* created;
};

TEST(RecordWriter, NeverReplacesAFileButNumbersTheNewOne) {
  const NameCase cases[] = {
      {"free", "rec_1.nme", false, {}, "rec_1.nme"},
      {"taken", "rec_1.nme", false, {"rec_1.nme"}, "rec_1_2.nme"},
      {"taken twice", "rec_1.nme", false, {"rec_1.nme", "rec_1_2.nme"}, "rec_1_3.nme"},
      {"conversion taken", "rec_1.dat", true, {"rec_1.nme"}, "rec_1_2.dat"},
      {"raw taken", "rec_1.dat", true, {"rec_1.dat"}, "rec_1_2.dat"},
      {"BINR2 raw taken", "rec_1.b2", true, {"rec_1.b2"}, "rec_1_2.b2"},
      {"conversion ignored for NMEA", "rec_1.nme", false, {"rec_1.dat"}, "rec_1.nme"},
      {"no dot", "rec_1", false, {"rec_1"}, "rec_1_2"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory dir;
    for (const char* name : c.existing) writeFile(dir.file(name), "earlier");
    RecordWriter writer;
    ASSERT_TRUE(writer.create(dir.file(c.asked), c.withConversion));
    EXPECT_EQ(writer.name(), dir.file(c.created));
    writer.close();
    for (const char* name : c.existing) EXPECT_EQ(readFile(dir.file(name)), "earlier") << name;
  }
}

TEST(RecordWriter, NumberGoesBeforeTheFirstDotOfTheFileName) {
  EXPECT_EQ(numberedRecordName("a.b/rec_20240501_100000.tar.gz", 3), "a.b/rec_20240501_100000_3.tar.gz");
  EXPECT_EQ(numberedRecordName("track", 2), "track_2");
}

TEST(RecordWriter, ReportsWhyNoFileCouldBeCreated) {
  ScratchDirectory dir;
  RecordWriter writer;
  EXPECT_FALSE(writer.create(dir.file("missing/rec.nme"), false));
  EXPECT_EQ(writer.error(), ENOENT);
}

struct ReopenCase {
  const char* name;
  // Block lengths, and whether the file is closed and opened again after each.
  std::vector<std::pair<int32_t, bool>> blocks;
};

// The file is removed before each block; a reopen creates it anew.
TEST(RecordWriter, ReopensInTheFirstKiBAfterEach128KiB) {
  const ReopenCase cases[] = {
      {"below one KiB", {{100, true}, {400, true}, {523, true}, {1, false}, {1000, false}}},
      {"small blocks across the boundary",
       {{130000, false}, {1056, false}, {16, true}, {16, true}, {1007, true}, {1, false}}},
      {"not at other multiples of a KiB", {{65500, false}, {100, false}, {65472, true}}},
      {"one block into the first KiB", {{131000, false}, {100, true}, {2000, false}}},
      {"one block over the first KiB", {{131000, false}, {1200, false}, {130000, true}}},
  };
  for (const ReopenCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory dir;
    const std::string name = dir.file("rec.nme");
    RecordWriter writer;
    ASSERT_TRUE(writer.create(name, false));
    int index = 0;
    for (const auto& [length, reopens] : c.blocks) {
      fs::remove(name);
      const std::vector<uint8_t> block(size_t(length), 0x55);
      writer.store(block.data(), length);
      EXPECT_EQ(fs::exists(name), reopens) << "block " << index;
      ++index;
    }
    EXPECT_FALSE(writer.failed());
  }
}

TEST(RecordWriter, StoresNothingAfterAFailure) {
  ScratchDirectory dir;
  fs::create_directory(dir.file("sub"));
  const std::string name = dir.file("sub/rec.nme");
  RecordWriter writer;
  ASSERT_TRUE(writer.create(name, false));
  const std::vector<uint8_t> block(600, 0x41);
  writer.store(block.data(), 600);
  // The reopen after the next block finds the directory gone.
  fs::remove_all(dir.file("sub"));
  writer.store(block.data(), 100);
  EXPECT_TRUE(writer.failed());
  fs::create_directory(dir.file("sub"));
  writer.store(block.data(), 100);
  EXPECT_FALSE(fs::exists(name));
  writer.close();
}

}  // namespace
}  // namespace veltrano
