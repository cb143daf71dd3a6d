// Feeds arbitrary bytes to one NmeaAssembler and aborts when a result code or a
// field table breaks its bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "decoding/nmea_assembler.h"

namespace {

using veltrano::NmeaAssembler;
using veltrano::NmeaFieldTable;
using veltrano::NmeaKind;

void checkTable(const NmeaFieldTable& table) {
  if (table.fieldCount > NmeaFieldTable::kFieldSlots) std::abort();
  for (const auto& field : table.field)
    if (std::memchr(field, '\0', NmeaFieldTable::kSlotSize) == nullptr) std::abort();
}

constexpr NmeaKind kStoredKinds[] = {
    NmeaKind::GGA,   NmeaKind::RMC, NmeaKind::GSA,   NmeaKind::RZD, NmeaKind::GPGSV, NmeaKind::GLGSV,
    NmeaKind::GAGSV, NmeaKind::GNS, NmeaKind::GBS, NmeaKind::BDGSV, NmeaKind::BSS,   NmeaKind::VER,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static NmeaAssembler nmea;  // one assembler across inputs, as in the program
  for (size_t i = 0; i < size; ++i) {
    const NmeaKind kind = nmea.pushNmeaChar(data[i]);
    if (int(kind) < -1 || int(kind) > 14) std::abort();
    if (kind != NmeaKind::None && kind != NmeaKind::Error) {
      checkTable(nmea.fields());
      checkTable(nmea.stored(kind));
    }
  }
  for (NmeaKind kind : kStoredKinds) checkTable(nmea.stored(kind));
  return 0;
}
