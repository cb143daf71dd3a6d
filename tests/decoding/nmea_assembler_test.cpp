#include "decoding/nmea_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano {
namespace {

// "$" + body + "*hh" + CR LF with the checksum computed here.
std::string withChecksum(std::string_view body, bool upperCase = true) {
  uint8_t sum = 0;
  for (char c : body) sum ^= uint8_t(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, upperCase ? "%02X" : "%02x", sum);
  return "$" + std::string(body) + "*" + digits + "\r\n";
}

// The result of every character fed.
std::vector<NmeaKind> feedAll(NmeaAssembler& nmea, std::string_view text) {
  std::vector<NmeaKind> results;
  for (char c : text) results.push_back(nmea.pushNmeaChar(uint8_t(c)));
  return results;
}

// Feeds a line and returns the result of its last character; every earlier
// character must give None.
NmeaKind feedLine(NmeaAssembler& nmea, std::string_view line) {
  std::vector<NmeaKind> results = feedAll(nmea, line);
  for (size_t i = 0; i + 1 < results.size(); ++i)
    EXPECT_EQ(results[i], NmeaKind::None) << "at character " << i << " of " << line;
  return results.empty() ? NmeaKind::None : results.back();
}

std::vector<std::string> texts(const NmeaFieldTable& table) {
  std::vector<std::string> out;
  for (int j = 0; j < table.fieldCount; ++j) out.emplace_back(table.text(j));
  return out;
}

bool isAllEmpty(const NmeaFieldTable& table) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&table);
  for (size_t i = 0; i < sizeof table; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

std::string readTestData(const char* name) {
  std::filesystem::path path = std::filesystem::path(__FILE__).parent_path() / ".." / "data" / "nmea" / name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

constexpr NmeaKind kStoredKinds[] = {
    NmeaKind::GGA,   NmeaKind::RMC, NmeaKind::GSA,   NmeaKind::RZD, NmeaKind::GPGSV, NmeaKind::GLGSV,
    NmeaKind::GAGSV, NmeaKind::GNS, NmeaKind::GBS, NmeaKind::BDGSV, NmeaKind::BSS,   NmeaKind::VER,
};

TEST(NmeaKind, NamesAndCodes) {
  struct Case {
    NmeaKind kind;
    int code;
    const char* name;
  };
  const Case cases[] = {
      {NmeaKind::Error, -1, "Error"}, {NmeaKind::None, 0, "None"},     {NmeaKind::Other, 1, "Other"},
      {NmeaKind::GGA, 2, "GGA"},      {NmeaKind::RMC, 3, "RMC"},       {NmeaKind::GSA, 4, "GSA"},
      {NmeaKind::RZD, 5, "RZD"},      {NmeaKind::RZA, 6, "RZA"},       {NmeaKind::GPGSV, 7, "GPGSV"},
      {NmeaKind::GLGSV, 8, "GLGSV"},  {NmeaKind::GAGSV, 9, "GAGSV"},   {NmeaKind::GNS, 10, "GNS"},
      {NmeaKind::GBS, 11, "GBS"},     {NmeaKind::BDGSV, 12, "BDGSV"},  {NmeaKind::BSS, 13, "BSS"},
      {NmeaKind::VER, 14, "VER"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(int(c.kind), c.code);
    EXPECT_STREQ(nmeaKindName(c.kind), c.name);
  }
}

TEST(NmeaFieldTable, TextOutOfRangeIsEmpty) {
  NmeaAssembler nmea;
  ASSERT_EQ(feedLine(nmea, withChecksum("GPGGA,1,2")), NmeaKind::GGA);
  EXPECT_EQ(nmea.fields().text(-1), "");
  EXPECT_EQ(nmea.fields().text(40), "");
  EXPECT_EQ(nmea.fields().text(0), "GPGGA");
}

// A field's number read straight from its slot equals the number of its text,
// whatever the slot holds after its NUL or without one.
TEST(NmeaFieldTable, LeadingIntOfReadsTheSlotAsItsText) {
  std::mt19937 random(11);
  const char alphabet[] = {'0', '1', '7', '9', '+', '-', '\0', 'x', '.'};
  NmeaFieldTable table;
  for (int round = 0; round < 2000; ++round) {
    for (auto& slot : table.field)
      for (char& c : slot) c = alphabet[random() % sizeof alphabet];
    for (int j = -1; j <= NmeaFieldTable::kFieldSlots; ++j)
      ASSERT_EQ(table.leadingIntOf(j), leadingInt(table.text(j))) << std::string(table.text(j));
  }
}

TEST(NmeaAssembler, StartsEmpty) {
  NmeaAssembler nmea;
  EXPECT_TRUE(isAllEmpty(nmea.fields()));
  for (NmeaKind kind : kStoredKinds) EXPECT_TRUE(isAllEmpty(nmea.stored(kind))) << nmeaKindName(kind);
  EXPECT_EQ(nmea.ggaCount + nmea.rmcCount + nmea.gnsCount + nmea.glgsvCount, 0u);
  EXPECT_EQ(nmea.positionSource, 0);
}

TEST(NmeaAssembler, Checksum) {
  const std::string gga = "GPGGA,005947.00,3715.6616,N,12157.6709,W,8,11,0.8,86.0,M,-30.1,M,,";
  const std::string upper = withChecksum(gga, true);
  const std::string lower = withChecksum(gga, false);
  // The checksum of this body has a letter digit, so the two spellings differ.
  ASSERT_NE(upper, lower);
  std::string wrongDigit = upper;
  wrongDigit[wrongDigit.size() - 3] = wrongDigit[wrongDigit.size() - 3] == '0' ? '1' : '0';
  std::string wrongData = upper;
  wrongData[10] = wrongData[10] == '9' ? '8' : '9';
  std::string bareLineFeed = upper;
  bareLineFeed.erase(bareLineFeed.size() - 2, 1);
  bareLineFeed[bareLineFeed.size() - 2] ^= 1;  // "*hh" LF is not checked, even when wrong

  struct Case {
    const char* name;
    std::string line;
    NmeaKind expected;
  };
  const Case cases[] = {
      {"upper-case digits", upper, NmeaKind::GGA},
      {"lower-case digits", lower, NmeaKind::GGA},
      {"wrong digit", wrongDigit, NmeaKind::Error},
      {"changed data", wrongData, NmeaKind::Error},
      {"no checksum", "$" + gga + "\r\n", NmeaKind::GGA},
      {"checksum with bare line feed", bareLineFeed, NmeaKind::GGA},
      {"shortest line", "$\n", NmeaKind::Other},
      {"real firefly GGA", "$GPGGA,005947.00,3715.6616,N,12157.6709,W,,11,0.8,86.0,M,-30.1,M,,*54\r\n",
       NmeaKind::Error},
      {"real firefly RMC", "$GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,0.0,080710,,*2F\r\n", NmeaKind::RMC},
      {"real ublox GSV, lower case", "$GPGSV,4,2,16,16,25,306,30,18,68,358,39,20,63,235,37,21,35,292,,1*6b\r\n",
       NmeaKind::GPGSV},
  };
  for (const Case& c : cases) {
    NmeaAssembler nmea;
    EXPECT_EQ(feedLine(nmea, c.line), c.expected) << c.name;
  }
}

TEST(NmeaAssembler, ErrorLeavesStoredSentencesAlone) {
  NmeaAssembler nmea;
  ASSERT_EQ(feedLine(nmea, withChecksum("GPGGA,1,2,3")), NmeaKind::GGA);
  std::string bad = withChecksum("GPGGA,4,5,6");
  bad[bad.size() - 3] ^= 1;
  EXPECT_EQ(feedLine(nmea, bad), NmeaKind::Error);
  EXPECT_EQ(nmea.ggaCount, 1u);
  EXPECT_EQ(texts(nmea.stored(NmeaKind::GGA)), (std::vector<std::string>{"GPGGA", "1", "2", "3"}));
}

TEST(NmeaAssembler, LineLengthLimit) {
  // "$" + body + "*hh" CR LF: body of 123 characters gives a line of 129.
  const std::string body129 = "GPGGA," + std::string(117, '1');
  const std::string line129 = withChecksum(body129);
  ASSERT_EQ(line129.size(), 129u);
  NmeaAssembler nmea;
  EXPECT_EQ(feedLine(nmea, line129), NmeaKind::GGA);

  const std::string line130 = withChecksum(body129 + "1");
  ASSERT_EQ(line130.size(), 130u);
  std::vector<NmeaKind> results = feedAll(nmea, line130 + "$GPRMC,1*XX\r\n" + withChecksum("GPRMC,2"));
  for (size_t i = 0; i < results.size(); ++i) {
    NmeaKind expected = NmeaKind::None;
    if (i == 129) expected = NmeaKind::Error;  // the 130th character, here the line feed
    if (i == results.size() - 1) expected = NmeaKind::RMC;
    if (i == 129 + 13) expected = NmeaKind::Error;  // bad checksum of the sentence after it
    EXPECT_EQ(results[i], expected) << "at character " << i;
  }

  // Characters after the 130th are ignored until the next "$".
  NmeaAssembler longLine;
  results = feedAll(longLine, std::string(1, '$') + std::string(140, 'A') + "\r\n" + withChecksum("GPGGA,7"));
  EXPECT_EQ(results[129], NmeaKind::Error);
  for (size_t i = 130; i + 1 < results.size(); ++i) EXPECT_EQ(results[i], NmeaKind::None) << "at character " << i;
  EXPECT_EQ(results.back(), NmeaKind::GGA);
  EXPECT_EQ(longLine.fields().text(1), "7");
}

TEST(NmeaAssembler, Recognition) {
  struct Case {
    const char* address;
    NmeaKind expected;
  };
  const Case cases[] = {
      {"GPGGA", NmeaKind::GGA},     {"GNGGA", NmeaKind::GGA},     {"GAGGA", NmeaKind::GGA},
      {"GPRMC", NmeaKind::RMC},     {"GNGSA", NmeaKind::GSA},     {"GNGNS", NmeaKind::GNS},
      {"GNGBS", NmeaKind::GBS},     {"PORZD", NmeaKind::RZD},     {"PORZA", NmeaKind::RZA},
      {"GPGSV", NmeaKind::GPGSV},   {"GLGSV", NmeaKind::GLGSV},   {"GAGSV", NmeaKind::GAGSV},
      {"BDGSV", NmeaKind::BDGSV},   {"GNGSV", NmeaKind::Other},   {"GBGSV", NmeaKind::Other},
      {"GPBSS", NmeaKind::BSS},     {"ALVER", NmeaKind::VER},     {"PXXXVER", NmeaKind::VER},
      {"PXXXGGA", NmeaKind::GGA},   {"PXXXBSS", NmeaKind::BSS},   {"GPXVER", NmeaKind::Other},
      {"GPXGGA", NmeaKind::Other},  {"GGA", NmeaKind::Other},     {"PXXXXVER", NmeaKind::Other},
      {"gpgga", NmeaKind::Other},   {"GPZDA", NmeaKind::Other},   {"BDGSVER", NmeaKind::BDGSV},
      {"", NmeaKind::Other},
  };
  for (const Case& c : cases) {
    NmeaAssembler nmea;
    EXPECT_EQ(feedLine(nmea, withChecksum(std::string(c.address) + ",1")), c.expected) << c.address;
  }
}

TEST(NmeaAssembler, StoredKindsAndCounters) {
  struct Case {
    const char* address;
    NmeaKind kind;
    bool stored;
    uint32_t NmeaAssembler::*counter;
  };
  const Case cases[] = {
      {"GNGGA", NmeaKind::GGA, true, &NmeaAssembler::ggaCount},
      {"GNRMC", NmeaKind::RMC, true, &NmeaAssembler::rmcCount},
      {"GNGSA", NmeaKind::GSA, true, nullptr},
      {"PORZD", NmeaKind::RZD, true, nullptr},
      {"PORZA", NmeaKind::RZA, false, nullptr},
      {"GPGSV", NmeaKind::GPGSV, true, nullptr},
      {"GLGSV", NmeaKind::GLGSV, true, &NmeaAssembler::glgsvCount},
      {"GAGSV", NmeaKind::GAGSV, true, nullptr},
      {"GNGNS", NmeaKind::GNS, true, &NmeaAssembler::gnsCount},
      {"GNGBS", NmeaKind::GBS, true, nullptr},
      {"BDGSV", NmeaKind::BDGSV, true, nullptr},
      {"GPBSS", NmeaKind::BSS, true, nullptr},
      {"ALVER", NmeaKind::VER, true, nullptr},
      {"GPZDA", NmeaKind::Other, false, nullptr},
  };
  uint32_t NmeaAssembler::*const counters[] = {&NmeaAssembler::ggaCount, &NmeaAssembler::rmcCount,
                                               &NmeaAssembler::gnsCount, &NmeaAssembler::glgsvCount};
  for (const Case& c : cases) {
    auto nmea = std::make_unique<NmeaAssembler>();
    for (int n = 1; n <= 2; ++n) {
      const std::string body = std::string(c.address) + ",A," + std::to_string(n);
      ASSERT_EQ(feedLine(*nmea, withChecksum(body)), c.kind) << c.address;
      EXPECT_EQ(texts(nmea->fields()), (std::vector<std::string>{c.address, "A", std::to_string(n)}));
      for (NmeaKind kind : kStoredKinds) {
        const NmeaFieldTable& table = nmea->stored(kind);
        if (c.stored && kind == c.kind)
          EXPECT_EQ(std::memcmp(&table, &nmea->fields(), sizeof table), 0) << c.address;
        else
          EXPECT_TRUE(isAllEmpty(table)) << c.address << " touched " << nmeaKindName(kind);
      }
      for (auto counter : counters) EXPECT_EQ((*nmea).*counter, counter == c.counter ? uint32_t(n) : 0u) << c.address;
    }
    EXPECT_TRUE(isAllEmpty(nmea->stored(NmeaKind::RZA)));
    EXPECT_TRUE(isAllEmpty(nmea->stored(NmeaKind::Other)));
  }
}

TEST(NmeaAssembler, FieldSplitting) {
  struct Case {
    const char* name;
    std::string line;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"empty fields", withChecksum("GPGSA,A,3,,,"), {"GPGSA", "A", "3", "", "", ""}},
      {"last field ends before the star", withChecksum("GPGGA,1,,2"), {"GPGGA", "1", "", "2"}},
      {"no checksum keeps CR LF", "$GPGGA,1,2\r\n", {"GPGGA", "1", "2\r\n"}},
      {"CR CR LF after checksum", "$GNGNS,1,V*00\r\r\n", {"GNGNS", "1", "V"}},
      {"star ends the fields", "$GPRMC,1*2,3\r\n", {"GPRMC", "1"}},
      {"piece cut to 19 characters", withChecksum("GPGGA,123456789012345678901234,5"),
       {"GPGGA", "1234567890123456789", "5"}},
  };
  for (const Case& c : cases) {
    NmeaAssembler nmea;
    ASSERT_NE(feedLine(nmea, c.line), NmeaKind::Error) << c.name;
    EXPECT_EQ(nmea.fields().fieldCount, c.fields.size()) << c.name;
    EXPECT_EQ(texts(nmea.fields()), c.fields) << c.name;
  }
}

TEST(NmeaAssembler, MoreThanFortyFieldsKeepsTheFirstForty) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string body = "GPGSV";
  for (char letter : letters) body += std::string(",") + letter;
  NmeaAssembler nmea;
  ASSERT_EQ(feedLine(nmea, withChecksum(body)), NmeaKind::GPGSV);
  const NmeaFieldTable& table = nmea.stored(NmeaKind::GPGSV);
  EXPECT_EQ(table.fieldCount, 40);
  for (int j = 1; j < 40; ++j) EXPECT_EQ(table.text(j), std::string(1, letters[j - 1])) << j;
}

TEST(NmeaAssembler, SlotsBeyondFieldCountKeepOldContent) {
  NmeaAssembler nmea;
  ASSERT_EQ(feedLine(nmea, withChecksum("GNGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.6,1.3,0.9,1")), NmeaKind::GSA);
  ASSERT_EQ(feedLine(nmea, withChecksum("GNGSA,M,1,33")), NmeaKind::GSA);
  for (const NmeaFieldTable* table : {&nmea.fields(), &nmea.stored(NmeaKind::GSA)}) {
    EXPECT_EQ(table->fieldCount, 4);
    EXPECT_EQ(texts(*table), (std::vector<std::string>{"GNGSA", "M", "1", "33"}));
    EXPECT_EQ(table->text(4), "02");
    EXPECT_EQ(table->text(17), "0.9");
    EXPECT_EQ(table->text(18), "1");
  }
}

TEST(NmeaAssembler, DollarRestartsTheSentence) {
  NmeaAssembler nmea;
  const std::string stream = "junk,*12\r\n$GPGGA,12,3" + withChecksum("GPRMC,4,5");
  std::vector<NmeaKind> results = feedAll(nmea, stream);
  for (size_t i = 0; i + 1 < results.size(); ++i) EXPECT_EQ(results[i], NmeaKind::None) << "at character " << i;
  EXPECT_EQ(results.back(), NmeaKind::RMC);
  EXPECT_EQ(texts(nmea.fields()), (std::vector<std::string>{"GPRMC", "4", "5"}));
  EXPECT_EQ(nmea.ggaCount, 0u);
}

TEST(NmeaAssembler, ResetNmeaCounts) {
  NmeaAssembler nmea;
  for (const char* body : {"GPGGA,1", "GNGGA,2", "GPRMC,3", "GNGNS,4", "GLGSV,5", "GLGSV,6", "GLGSV,7"})
    ASSERT_NE(feedLine(nmea, withChecksum(body)), NmeaKind::Error);
  EXPECT_EQ(nmea.ggaCount, 2u);
  EXPECT_EQ(nmea.rmcCount, 1u);
  EXPECT_EQ(nmea.gnsCount, 1u);
  EXPECT_EQ(nmea.glgsvCount, 3u);

  nmea.positionSource = int32_t(NmeaKind::RMC);
  feedAll(nmea, "$GPGGA,8,");  // a partial sentence, dropped by the reset
  nmea.resetNmeaCounts();
  EXPECT_EQ(nmea.ggaCount + nmea.rmcCount + nmea.gnsCount + nmea.glgsvCount, 0u);
  EXPECT_EQ(nmea.positionSource, int32_t(NmeaKind::RMC));
  EXPECT_EQ(texts(nmea.fields()), (std::vector<std::string>{"GLGSV", "7"}));
  EXPECT_EQ(texts(nmea.stored(NmeaKind::GGA)), (std::vector<std::string>{"GNGGA", "2"}));

  std::vector<NmeaKind> results = feedAll(nmea, "9*00\r\n");
  for (NmeaKind kind : results) EXPECT_EQ(kind, NmeaKind::None);
  EXPECT_EQ(feedLine(nmea, withChecksum("GPGGA,10")), NmeaKind::GGA);
  EXPECT_EQ(nmea.ggaCount, 1u);
}

// Everything an observer sees after a stream: the non-None results with their
// positions, the last fields, the stored tables and the counters.
struct Outcome {
  std::vector<std::pair<size_t, NmeaKind>> results;
  std::vector<std::vector<std::string>> tables;
  std::vector<uint32_t> counts;

  bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(const NmeaAssembler& nmea, const std::vector<std::pair<size_t, NmeaKind>>& results) {
  Outcome outcome{results, {texts(nmea.fields())}, {nmea.ggaCount, nmea.rmcCount, nmea.gnsCount, nmea.glgsvCount}};
  for (NmeaKind kind : kStoredKinds) outcome.tables.push_back(texts(nmea.stored(kind)));
  return outcome;
}

Outcome feedInBlocks(const std::string& stream, size_t split) {
  auto nmea = std::make_unique<NmeaAssembler>();
  std::vector<std::pair<size_t, NmeaKind>> results;
  size_t position = 0;
  for (std::string_view block : {std::string_view(stream).substr(0, split), std::string_view(stream).substr(split)})
    for (char c : block) {
      NmeaKind kind = nmea->pushNmeaChar(uint8_t(c));
      if (kind != NmeaKind::None) results.emplace_back(position, kind);
      ++position;
    }
  return outcomeOf(*nmea, results);
}

TEST(NmeaAssembler, SplitStreamGivesTheSameResults) {
  const std::string stream = readTestData("telit-pls83-w-excerpt.log") +
                             "$GPGGA,010009.00,3715.6609,N,12157.6699,W,,11,0.8,85.4,M,-30.1,M,,*52\r\n" +
                             withChecksum("PORZD,A,1234") + "$GPGSA,A,3,,,\r\n";
  const Outcome whole = feedInBlocks(stream, stream.size());
  ASSERT_GT(whole.results.size(), 30u);
  for (size_t split = 0; split < stream.size(); ++split) {
    EXPECT_EQ(feedInBlocks(stream, split), whole) << "split at " << split;
    if (HasFailure()) break;
  }
}

struct FileSummary {
  std::vector<NmeaKind> results;  // one per completed or rejected line
  int count(NmeaKind kind) const { return int(std::count(results.begin(), results.end(), kind)); }
};

FileSummary feedFile(NmeaAssembler& nmea, const std::string& text) {
  FileSummary summary;
  for (NmeaKind kind : feedAll(nmea, text))
    if (kind != NmeaKind::None) summary.results.push_back(kind);
  return summary;
}

// Lines of a recording, each with its line feed.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

TEST(NmeaAssemblerRecordings, FireflyBadGgaChecksums) {
  const std::string text = readTestData("firefly-II.log");
  int ggaLines = 0, sentences = 0;
  for (const std::string& line : linesOf(text)) {
    sentences += line.find('$') != std::string::npos;
    ggaLines += line.starts_with("$GPGGA");
  }
  NmeaAssembler nmea;
  const FileSummary summary = feedFile(nmea, text);
  EXPECT_EQ(int(summary.results.size()), sentences);
  EXPECT_EQ(summary.count(NmeaKind::Error), 23);  // as documented with the recording
  EXPECT_EQ(summary.count(NmeaKind::GGA), ggaLines - 23);
  EXPECT_EQ(summary.count(NmeaKind::RMC), int(nmea.rmcCount));
  EXPECT_EQ(summary.count(NmeaKind::Other), summary.count(NmeaKind::RMC));  // one GPZDA per RMC
}

TEST(NmeaAssemblerRecordings, TelitCrCrLfLines) {
  const std::string text = readTestData("telit-pls83-w-excerpt.log");
  int ggaLines = 0, gnsLines = 0;
  for (const std::string& line : linesOf(text)) {
    ggaLines += line.starts_with("$") && line.substr(3, 4) == "GGA,";
    gnsLines += line.starts_with("$GNGNS,");
  }
  ASSERT_GT(ggaLines, 1);
  NmeaAssembler nmea;
  const FileSummary summary = feedFile(nmea, text);
  EXPECT_EQ(summary.count(NmeaKind::Error), 0);
  EXPECT_EQ(int(nmea.ggaCount), ggaLines);
  EXPECT_EQ(int(nmea.gnsCount), gnsLines);
  const NmeaFieldTable& gns = nmea.stored(NmeaKind::GNS);
  ASSERT_EQ(gns.fieldCount, 14);
  EXPECT_EQ(gns.text(0), "GNGNS");
  EXPECT_EQ(gns.text(6), "AAAAN");
  EXPECT_EQ(gns.text(13), "V");
  EXPECT_GT(summary.count(NmeaKind::BDGSV), 0);
  EXPECT_EQ(nmea.stored(NmeaKind::BDGSV).text(0), "BDGSV");
}

TEST(NmeaAssemblerRecordings, MtkLongLinesAndMissingChecksums) {
  const std::string text = readTestData("mtk-3301.log");
  int longLines = 0, unchecked = 0, sentences = 0, ggaLines = 0;
  for (const std::string& line : linesOf(text)) {
    if (line.find('$') == std::string::npos) continue;
    ++sentences;  // a "$" in a comment line starts a sentence too
    ggaLines += line.starts_with("$GPGGA");
    longLines += line.size() >= 130;
    unchecked += line.find('*') == std::string::npos;
  }
  ASSERT_GT(longLines, 0);
  ASSERT_GT(unchecked, 0);
  NmeaAssembler nmea;
  const FileSummary summary = feedFile(nmea, text);
  EXPECT_EQ(summary.count(NmeaKind::Error), longLines);
  EXPECT_EQ(int(summary.results.size()), sentences);
  EXPECT_EQ(int(nmea.ggaCount), ggaLines);
}

}  // namespace
}  // namespace veltrano
