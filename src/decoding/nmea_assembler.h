#pragma once
// Collects received characters into NMEA sentences from "$" to the line feed, checks
// the checksum when the sentence carries one, splits the fields, recognises the kind
// by the address field and keeps the last sentence of each stored kind.
#include <cstddef>
#include <cstdint>

#include "decoding/nmea_field_table.h"
#include "decoding/nmea_kind.h"

namespace veltrano {

class NmeaAssembler {
 public:
  // Feeds one received character; returns the kind of the sentence it completes,
  // None while a sentence is incomplete or outside one, Error for a checksum
  // mismatch or a line of 130 characters or more.
  NmeaKind pushNmeaChar(uint8_t ch);

  // Feeds characters from `bytes` up to and including the first one whose result
  // is not None, or all of them; returns how many it took and puts the result of
  // the last one in `kind`. The same as pushNmeaChar on each, a stretch at a time.
  size_t pushNmeaChars(const uint8_t* bytes, size_t length, NmeaKind& kind);

  // Drops the sentence being received and zeroes the counters; the fields, the
  // stored sentences and positionSource stay.
  void resetNmeaCounts();

  // The last sentence of a stored kind (GGA, RMC, GSA, RZD, GPGSV, GLGSV, GAGSV,
  // GNS, GBS, BDGSV, BSS, VER); an all-empty table for any other kind.
  const NmeaFieldTable& stored(NmeaKind kind) const;

  // The sentence just completed.
  const NmeaFieldTable& fields() const { return fields_; }

  uint32_t ggaCount = 0, rmcCount = 0, gnsCount = 0, glgsvCount = 0;
  int32_t positionSource = 0;  // Auto 0, GGA 2, RMC 3, GNS 10

  static constexpr int kLineSize = 130;
  static constexpr int kStoredKinds = 12;

 private:
  bool checksumAccepted() const;
  void splitFields();
  NmeaKind recognise() const;
  NmeaKind completeLine();

  char lineBuffer[kLineSize] = {};
  uint8_t lineLength = 0;
  bool inSentence = false;
  NmeaFieldTable fields_ = {};
  NmeaFieldTable storedSentence_[kStoredKinds] = {};
};

}  // namespace veltrano
