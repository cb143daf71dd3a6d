// The table of satellites in view: NMEA cycles and their commits, the system
// of each satellite number, the binary messages and the used marks.
#include "decoding/satellites_in_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoding/nmea_assembler.h"
#include "test_frames.h"

namespace veltrano {
namespace {

struct Entry {
  uint8_t system, number;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << int(e.system) << "/" << int(e.number);
}

std::vector<Entry> entries(std::span<const SatelliteInView> table) {
  std::vector<Entry> list;
  for (const SatelliteInView& s : table) list.push_back({s.system, s.number});
  return list;
}

class NmeaTable : public ::testing::Test {
 protected:
  // One satellites-in-view sentence through the program's reader into the table.
  bool feed(const std::string& body, bool snrShown = true) {
    NmeaKind kind = NmeaKind::None;
    for (char c : test::nmeaSentence(body)) kind = reader.pushNmeaChar(uint8_t(c));
    return table.fillFromNmea(kind, reader.stored(kind), reader.glgsvCount > 0, used, snrShown);
  }

  NmeaAssembler reader;
  SatellitesInView table;
  UsedSatellites used;
};

TEST_F(NmeaTable, CycleCommitsWhenTheNextGpsGroupBeginsSortedForTheBars) {
  for (bool snrShown : {true, false}) {
    SCOPED_TRACE(snrShown ? "S/N shown" : "S/N hidden");
    table = SatellitesInView{};
    reader = NmeaAssembler{};
    EXPECT_FALSE(feed("GPGSV,3,1,09,12,40,100,45,05,30,200,40,31,10,300,35,02,50,50,44", snrShown));
    EXPECT_FALSE(feed("GPGSV,3,2,09,25,20,120,30,07,60,240,41,14,5,10,20,09,15,90,33", snrShown));
    EXPECT_FALSE(feed("GPGSV,3,3,09,18,70,180,46", snrShown));
    EXPECT_FALSE(feed("GLGSV,2,1,05,70,40,100,45,66,30,200,40,80,10,300,35,68,50,50,44", snrShown));
    EXPECT_FALSE(feed("GLGSV,2,2,05,75,20,120,30", snrShown));
    EXPECT_TRUE(table.working().empty());
    EXPECT_TRUE(feed("GPGSV,1,1,01,12,40,100,45", snrShown));
    // The commit's copy; the working table already takes the next cycle.
    const std::vector<Entry> received = {{1, 12}, {1, 5}, {1, 31}, {1, 2},  {1, 25}, {1, 7}, {1, 14},
                                         {1, 9},  {1, 18}, {2, 6}, {2, 2}, {2, 16}, {2, 4}, {2, 11}};
    const std::vector<Entry> sorted = {{1, 2}, {1, 5}, {1, 7}, {1, 9}, {1, 12}, {1, 14}, {1, 18},
                                       {1, 25}, {1, 31}, {2, 2}, {2, 4}, {2, 6}, {2, 11}, {2, 16}};
    EXPECT_EQ(entries(table.displayed()), snrShown ? sorted : received);
    EXPECT_EQ(table.working().size(), sorted.size());
  }
}

TEST_F(NmeaTable, NumbersGiveTheirSystems) {
  struct Case {
    const char* talker;
    bool glonassSeen;
    int number;
    Entry entry;
  } cases[] = {
      {"GP", false, 1, {1, 1}},    {"GP", false, 32, {1, 32}},   {"GP", false, 37, {4, 124}},
      {"GP", false, 63, {4, 150}}, {"GP", false, 64, {2, 0}},    {"GP", false, 70, {2, 6}},
      {"GP", true, 70, {16, 6}},   {"GL", true, 70, {2, 6}},     {"GP", false, 88, {2, 24}},
      {"GP", false, 100, {0, 100}}, {"GP", false, 151, {8, 1}},  {"GP", false, 200, {8, 50}},
      {"GP", false, 201, {9, 1}},  {"GP", false, 0, {0, 0}},     {"GA", false, 300, {4, 131}},  // the low 8 bits: 44
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.talker) + " " + std::to_string(c.number) + (c.glonassSeen ? " after GLGSV" : ""));
    table = SatellitesInView{};
    reader = NmeaAssembler{};
    if (c.glonassSeen) feed("GLGSV,9,1,01,99,0,0,0");
    feed(std::string(c.talker) + "GSV,9,1,01," + std::to_string(c.number) + ",10,20,30");
    // A GPGSV group that ends, then the next one, commits what was collected.
    feed("GPGSV,1,1,00");
    feed("GPGSV,1,1,00");
    const std::vector<Entry> all = entries(table.working());
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[c.glonassSeen ? 1 : 0], c.entry);
  }
}

TEST_F(NmeaTable, AnEmptyNumberKeepsItsSlotAndTheTableHolds64) {
  feed("GPGSV,1,1,03,05,10,20,30,,40,50,60,07,10,20,30");
  feed("GPGSV,1,1,00");
  EXPECT_EQ(entries(table.working()), (std::vector<Entry>{{0, 0}, {1, 5}, {1, 7}}));

  table = SatellitesInView{};
  for (int sentence = 0; sentence < 17; ++sentence)
    feed("GAGSV,17," + std::to_string(sentence + 1) + ",68,151,1,1,1,152,1,1,1,153,1,1,1,154,1,1,1");
  feed("GPGSV,1,1,00");
  feed("GPGSV,1,1,00");
  EXPECT_EQ(table.working().size(), size_t(SatellitesInView::kMaxEntries));
}

TEST_F(NmeaTable, UsedSatellitesAreMarkedAndClearingKeepsTheDisplayedCopy) {
  const UsedSatellite usedPair[] = {{1, 5}, {2, 6}};
  used.assign(usedPair);
  feed("GPGSV,1,1,03,05,10,20,30,06,40,50,60,70,10,20,30");
  feed("GPGSV,1,1,00");
  ASSERT_EQ(table.working().size(), 3u);
  EXPECT_EQ(table.working()[0].used, 1);
  EXPECT_EQ(table.working()[1].used, 0);
  EXPECT_EQ(table.working()[2].used, 1);  // 70 is GLONASS 6
  EXPECT_EQ(table.working()[0].elevation, 10);
  EXPECT_EQ(table.working()[0].azimuth, 20);
  EXPECT_EQ(table.working()[0].snr, 30);
  table.clearWorking();
  EXPECT_TRUE(table.working().empty());
  EXPECT_EQ(table.displayed().size(), 3u);
}

TEST(BinaryTable, BinrRecordsBeyondTheGpsNumbersBecomeQ) {
  BinrSatsInView view;
  view.satCount = 3;
  view.sat[0] = {1, 35, 30, 180, 40};
  view.sat[1] = {2, 7, -3, 90, 1};
  view.sat[2] = {1, 12, 60, 45, 50};
  SatellitesInView table;
  const UsedSatellite usedOne[] = {{16, 3}};
  UsedSatellites used;
  used.assign(usedOne);
  table.fillFromBinr(view, used);
  EXPECT_EQ(entries(table.displayed()), (std::vector<Entry>{{16, 3}, {2, 7}, {1, 12}}));
  EXPECT_EQ(table.working()[0].used, 1);
  EXPECT_EQ(table.working()[1].elevation, -3);
  EXPECT_EQ(table.working()[1].snr, 1);
}

TEST(BinaryTable, Binr2SystemsAndTenths) {
  Binr2SatsInView view;
  view.satCount = 5;
  view.sat[0] = {0x01, 4, 305, 1799, 421};
  view.sat[1] = {0x02, 9, 0, 0, 0};
  view.sat[2] = {0x0B, 33, 0, 0, 0};  // the low three bits decide: SBAS
  view.sat[3] = {0x04, 11, 0, 0, 0};
  view.sat[4] = {0x05, 20, 0, 0, 0};  // no known system
  SatellitesInView table;
  table.fillFromBinr2(view, UsedSatellites{});
  EXPECT_EQ(entries(table.displayed()), (std::vector<Entry>{{2, 4}, {1, 9}, {4, 33}, {8, 11}, {0, 20}}));
  EXPECT_EQ(table.working()[0].elevation, 30);
  EXPECT_EQ(table.working()[0].azimuth, 179);
  EXPECT_EQ(table.working()[0].snr, 42);
}

}  // namespace
}  // namespace veltrano
