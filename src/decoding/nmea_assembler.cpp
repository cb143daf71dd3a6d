#include "decoding/nmea_assembler.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
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

// The exclusive or of the bytes, eight at a time.
uint8_t xorOfBytes(const char* bytes, size_t length) {
  uint64_t word = 0;
  for (; length >= 8; bytes += 8, length -= 8) {
    uint64_t eight;
    std::memcpy(&eight, bytes, 8);
    word ^= eight;
  }
  word ^= word >> 32;
  word ^= word >> 16;
  word ^= word >> 8;
  uint8_t sum = uint8_t(word);
  for (; length > 0; ++bytes, --length) sum ^= uint8_t(*bytes);
  return sum;
}

constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7F;

// The high bit of each zero byte of the word, and of no other.
uint64_t zeroBytes(uint64_t word) { return ~(((word & kLowBits) + kLowBits) | word | kLowBits); }

// Copies exactly `length` characters, at most a slot's worth, and ends them with
// a NUL; the rest of the slot stays as it is.
void storePiece(char* slot, const char* piece, size_t length) {
  static_assert(NmeaFieldTable::kSlotSize - 1 <= 19, "the copies below cover up to 19 characters");
  length = std::min(length, size_t(NmeaFieldTable::kSlotSize - 1));
  if (length >= 16) {
    std::memcpy(slot, piece, 16);
    std::memcpy(slot + length - 4, piece + length - 4, 4);
  } else if (length >= 8) {
    std::memcpy(slot, piece, 8);
    std::memcpy(slot + length - 8, piece + length - 8, 8);
  } else if (length >= 4) {
    std::memcpy(slot, piece, 4);
    std::memcpy(slot + length - 4, piece + length - 4, 4);
  } else if (length > 0) {
    slot[0] = piece[0];
    slot[length / 2] = piece[length / 2];
    slot[length - 1] = piece[length - 1];
  }
  slot[length] = '\0';
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

size_t NmeaAssembler::pushNmeaChars(const uint8_t* bytes, size_t length, NmeaKind& kind) {
  kind = NmeaKind::None;
  const uint8_t* p = bytes;
  const uint8_t* const end = bytes + length;
  while (p < end) {
    if (!inSentence) {
      p = static_cast<const uint8_t*>(std::memchr(p, '$', size_t(end - p)));
      if (p == nullptr) return length;
    }
    if (*p == '$') {
      inSentence = true;
      lineLength = 0;
    }
    // The stretch that joins the line: up to the line feed, the next "$" (not
    // taken) or the character that fills the line, whichever comes first.
    const size_t window = std::min(size_t(kLineSize - lineLength), size_t(end - p));
    const auto* newline = static_cast<const uint8_t*>(std::memchr(p, '\n', window));
    const uint8_t* stop = newline ? newline + 1 : p + window;
    const auto* dollar = static_cast<const uint8_t*>(std::memchr(p + 1, '$', size_t(stop - p - 1)));
    if (dollar) stop = dollar;
    std::memcpy(lineBuffer + lineLength, p, size_t(stop - p));
    lineLength = uint8_t(lineLength + (stop - p));
    p = stop;
    if (dollar) continue;
    if (lineLength == kLineSize) {
      inSentence = false;
      kind = NmeaKind::Error;
      return size_t(p - bytes);
    }
    if (newline) {
      inSentence = false;
      kind = completeLine();
      return size_t(p - bytes);
    }
  }
  return length;
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
  const uint8_t sum = xorOfBytes(lineBuffer + 1, size_t(lineLength - 6));
  static constexpr char kHexDigits[] = "0123456789abcdef";
  return asciiLower(lineBuffer[lineLength - 4]) == kHexDigits[sum >> 4] &&
         asciiLower(lineBuffer[lineLength - 3]) == kHexDigits[sum & 0x0F];
}

// The fields run from after the "$" to the first "*" or the end of the line, so a
// line without "*" keeps its CR LF in the last field. A piece longer than a slot is
// cut to 19 characters, and pieces beyond the 40th are dropped.
void NmeaAssembler::splitFields() {
  const auto* star = static_cast<const char*>(std::memchr(lineBuffer, '*', lineLength));
  const size_t end = star ? size_t(star - lineBuffer) : lineLength;
  size_t piece = 1;
  int slot = 0;
  // Eight characters at a time: each comma before the end closes a piece. A
  // word starts before the 129th character, so it stays inside the buffer.
  for (size_t at = 1; at < end; at += 8) {
    uint64_t word;
    std::memcpy(&word, lineBuffer + at, 8);
    uint64_t commas = zeroBytes(word ^ (kOnes * ','));
    if (end - at < 8) commas &= (uint64_t(1) << (8 * (end - at))) - 1;
    for (; commas != 0; commas &= commas - 1) {
      const size_t comma = at + size_t(std::countr_zero(commas) / 8);
      storePiece(fields_.field[slot], lineBuffer + piece, comma - piece);
      if (++slot == NmeaFieldTable::kFieldSlots) {
        fields_.fieldCount = uint8_t(slot);
        return;
      }
      piece = comma + 1;
    }
  }
  storePiece(fields_.field[slot], lineBuffer + piece, end - piece);
  fields_.fieldCount = uint8_t(slot + 1);
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
