#include "decoding/nmea_assembler.h"

#include <array>
#include <string_view>

namespace veltrano {

namespace {

constexpr NmeaFieldTable kEmptyTable = {};

// Slot in storedSentence_ of each kind (indexed by the kind's code); -1 for the
// kinds that are not stored.
constexpr std::array<int8_t, 15> kStoredSlot = {
    -1,  // None
    -1,  // Other
    0,   // GGA
    1,   // RMC
    2,   // GSA
    3,   // RZD
    -1,  // RZA
    4,   // GPGSV
    5,   // GLGSV
    6,   // GAGSV
    7,   // GNS
    8,   // GBS
    9,   // BDGSV
    10,  // BSS
    11,  // VER
};

int storedSlot(NmeaKind kind) {
  const int code = int(kind);
  return (code >= 0 && code < int(kStoredSlot.size())) ? kStoredSlot[code] : -1;
}

struct AddressRule {
  std::string_view text;
  NmeaKind kind;
};

// Tested in this order, by the last three characters of the address field.
constexpr AddressRule kByEnding[] = {
    {"GGA", NmeaKind::GGA}, {"RMC", NmeaKind::RMC}, {"GSA", NmeaKind::GSA}, {"GNS", NmeaKind::GNS},
    {"GBS", NmeaKind::GBS}, {"RZD", NmeaKind::RZD}, {"RZA", NmeaKind::RZA},
};
// Then by the first five: satellites in view only of these talkers.
constexpr AddressRule kByStart[] = {
    {"GPGSV", NmeaKind::GPGSV}, {"GLGSV", NmeaKind::GLGSV},
    {"GAGSV", NmeaKind::GAGSV}, {"BDGSV", NmeaKind::BDGSV},
};
// Then again by the last three.
constexpr AddressRule kByLateEnding[] = {{"BSS", NmeaKind::BSS}, {"VER", NmeaKind::VER}};

template <size_t N>
NmeaKind match(const AddressRule (&rules)[N], std::string_view piece) {
  for (const AddressRule& rule : rules)
    if (piece == rule.text) return rule.kind;
  return NmeaKind::None;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

}  // namespace

NmeaKind NmeaAssembler::pushNmeaChar(uint8_t ch) {
  if (ch == '$') {
    inSentence = true;
    lineLength = 0;
  }
  if (!inSentence) return NmeaKind::None;
  // While inSentence holds, lineLength < kLineSize, so the store stays inside.
  lineBuffer[lineLength++] = char(ch);
  if (lineLength == kLineSize) {
    inSentence = false;
    return NmeaKind::Error;
  }
  if (ch == '\n') {
    inSentence = false;
    return completeLine();
  }
  return NmeaKind::None;
}

void NmeaAssembler::resetNmeaCounts() {
  lineLength = 0;
  inSentence = false;
  ggaCount = rmcCount = gnsCount = glgsvCount = 0;
}

const NmeaFieldTable& NmeaAssembler::stored(NmeaKind kind) const {
  const int slot = storedSlot(kind);
  return slot < 0 ? kEmptyTable : storedSentence_[slot];
}

NmeaKind NmeaAssembler::completeLine() {
  if (!checksumAccepted()) return NmeaKind::Error;
  splitFields();
  const NmeaKind kind = recognise();
  const int slot = storedSlot(kind);
  if (slot >= 0) storedSentence_[slot] = fields_;
  switch (kind) {
    case NmeaKind::GGA: ++ggaCount; break;
    case NmeaKind::RMC: ++rmcCount; break;
    case NmeaKind::GNS: ++gnsCount; break;
    case NmeaKind::GLGSV: ++glgsvCount; break;
    default: break;
  }
  return kind;
}

// A line whose fifth character from the end is "*" carries "*hh" CR LF and is
// checked; any other line is accepted as it is. The digits may be of either case.
bool NmeaAssembler::checksumAccepted() const {
  if (lineLength < 5 || lineBuffer[lineLength - 5] != '*') return true;
  uint8_t sum = 0;
  for (int i = 1; i <= lineLength - 6; ++i) sum ^= uint8_t(lineBuffer[i]);
  static constexpr char kHexDigits[] = "0123456789abcdef";
  return asciiLower(lineBuffer[lineLength - 4]) == kHexDigits[sum >> 4] &&
         asciiLower(lineBuffer[lineLength - 3]) == kHexDigits[sum & 0x0F];
}

// The fields run from after the "$" to the first "*" or the end of the line, so a
// line without "*" keeps its CR LF in the last field. A piece longer than a slot is
// cut to 19 characters, and pieces beyond the 40th are dropped.
void NmeaAssembler::splitFields() {
  int stop = 0;
  int pieces = 1;
  while (stop < lineLength && lineBuffer[stop] != '*') {
    if (lineBuffer[stop] == ',') ++pieces;
    ++stop;
  }
  const int count = pieces < NmeaFieldTable::kFieldSlots ? pieces : NmeaFieldTable::kFieldSlots;
  fields_.fieldCount = uint8_t(count);

  int slot = 0;
  int length = 0;
  for (int i = 1; i < stop; ++i) {
    const char c = lineBuffer[i];
    if (c == ',') {
      fields_.field[slot][length] = '\0';
      if (++slot == count) return;
      length = 0;
    } else if (length < NmeaFieldTable::kSlotSize - 1) {
      fields_.field[slot][length++] = c;
    }
  }
  fields_.field[slot][length] = '\0';
}

NmeaKind NmeaAssembler::recognise() const {
  const std::string_view address = fields_.text(0);
  if (address.size() != 5 && address.size() != 7) return NmeaKind::Other;
  const std::string_view ending = address.substr(address.size() - 3);
  NmeaKind kind = match(kByEnding, ending);
  if (kind == NmeaKind::None) kind = match(kByStart, address.substr(0, 5));
  if (kind == NmeaKind::None) kind = match(kByLateEnding, ending);
  return kind == NmeaKind::None ? NmeaKind::Other : kind;
}

}  // namespace veltrano
