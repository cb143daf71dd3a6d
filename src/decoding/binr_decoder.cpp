#include "decoding/binr_decoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace veltrano {

namespace {

constexpr uint8_t kNavSolutionId = 0x88;
constexpr uint8_t kNavSolutionAltId = 0x90;
constexpr uint8_t kDopId = 0x60;
constexpr uint8_t kVersionId = 0x70;
constexpr uint8_t kStatusId = 0x93;
constexpr uint8_t kSatsInViewId = 0x52;

constexpr uint32_t kNavSolutionLength = 69;
constexpr uint32_t kDopLength = 10;
constexpr uint32_t kVersionLength = 76;
constexpr uint32_t kStatusHeaderLength = 16;
constexpr uint32_t kExcludedRecordLength = 5;
constexpr uint32_t kSatRecordLength = 7;

// Little-endian readers, byte by byte so that no alignment is assumed.
uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t readU32(const uint8_t* p) { return uint32_t(readU16(p)) | uint32_t(readU16(p + 2)) << 16; }
uint64_t readU64(const uint8_t* p) { return uint64_t(readU32(p)) | uint64_t(readU32(p + 4)) << 32; }
float readF32(const uint8_t* p) { return std::bit_cast<float>(readU32(p)); }
double readF64(const uint8_t* p) { return std::bit_cast<double>(readU64(p)); }

// x87 80-bit extended: 64-bit mantissa with an explicit integer bit, then 15-bit
// exponent (bias 16383) and the sign in the top bit of the last byte.
double readExtended(const uint8_t* p) {
  const uint64_t mantissa = readU64(p);
  const unsigned signAndExponent = readU16(p + 8);
  const int exponent = int(signAndExponent & 0x7FFF);
  double magnitude;
  if (exponent == 0x7FFF) {
    magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::quiet_NaN();
  } else {
    // A zero exponent field marks the denormals, which scale like exponent 1.
    const int scale = std::max(exponent, 1) - 16383 - 63;
    magnitude = std::ldexp(double(mantissa), scale);
  }
  return (signAndExponent & 0x8000) ? -magnitude : magnitude;
}

BinrNavSolution decodeNavSolution(const uint8_t* p) {
  BinrNavSolution r;
  r.latitude = readF64(p);
  r.longitude = readF64(p + 8);
  r.height = readF64(p + 16);
  r.rmsError = readF32(p + 24);
  r.timeOfWeek = readExtended(p + 28);
  r.week = int16_t(readU16(p + 38));
  r.velocityNorth = readF64(p + 40);
  r.velocityEast = readF64(p + 48);
  r.velocityUp = readF64(p + 56);
  r.solutionStatus = p[68];
  return r;
}

BinrDop decodeDop(const uint8_t* p) {
  BinrDop r;
  r.gpsUsed = int8_t(p[0]);
  r.glonassUsed = int8_t(p[1]);
  r.hdop = readF32(p + 2);
  r.vdop = readF32(p + 6);
  return r;
}

BinrVersion decodeVersion(const uint8_t* p) {
  BinrVersion r;
  std::memcpy(r.versionText, p + 1, sizeof r.versionText - 1);
  r.versionText[sizeof r.versionText - 1] = '\0';
  return r;
}

// Records beyond the capacity of the state are dropped.
void decodeStatus(const uint8_t* p, uint32_t records, BinrStatus& r) {
  r = BinrStatus{};
  std::memcpy(r.header, p, kStatusHeaderLength);
  r.statusFlags1 = p[0];
  r.statusFlags2 = p[1];
  r.statusFlags3 = p[3];
  r.gpsUsedMask = readU32(p + 4);
  r.glonassUsedMask = readU32(p + 8);
  r.galileoUsedMask = readU32(p + 12);
  const uint32_t kept = std::min<uint32_t>(records, BinrStatus::kMaxExcluded);
  const uint8_t* record = p + kStatusHeaderLength;
  for (uint32_t j = 0; j < kept; ++j, record += kExcludedRecordLength) {
    r.excludedId[j] = record[0];
    std::memcpy(r.excludedValue[j], record + 1, sizeof r.excludedValue[j]);
  }
  r.excludedCount = uint8_t(kept);
}

void decodeSatsInView(const uint8_t* p, uint32_t records, BinrSatsInView& r) {
  r = BinrSatsInView{};
  const uint32_t kept = std::min<uint32_t>(records, BinrSatsInView::kMaxSats);
  for (uint32_t j = 0; j < kept; ++j, p += kSatRecordLength) {
    BinrSatInView& sat = r.sat[j];
    sat.system = p[0];
    sat.number = p[1];
    sat.elevation = int8_t(p[3]);
    sat.azimuth = readU16(p + 4);
    sat.snr = p[6];
  }
  r.satCount = uint8_t(kept);
}

}  // namespace

BinrDecoder::BinrDecoder(BinrState& binrState) : state(binrState) {}

void BinrDecoder::resetBinrDecoder() {
  frameLength = 0;
  crc = 0;
  dleSeen = false;
  inFrame = false;
  crcTrailerState = 0;
}

size_t BinrDecoder::pushBinrBytes(const uint8_t* bytes, size_t length, int& result) {
  const uint8_t* p = bytes;
  const uint8_t* const end = bytes + length;
  while (p < end) {
    if (!dleSeen && crcTrailerState == 0) {
      // Up to the next DLE every byte is payload inside a frame and ignored outside
      // one, but for the byte that would fill the frame buffer.
      const size_t room = inFrame ? kFrameCapacity - 1 - frameLength : size_t(end - p);
      const size_t span = std::min(room, size_t(end - p));
      const auto* dle = static_cast<const uint8_t*>(std::memchr(p, kDle, span));
      const size_t run = dle ? size_t(dle - p) : span;
      if (inFrame) {
        std::memcpy(frameBuffer + frameLength, p, run);
        crc = binrCrcUpdate(uint16_t(crc), p, run);
        frameLength += uint32_t(run);
      }
      p += run;
      if (p == end) break;
    }
    const int r = decodeByte(*p++);
    if (r != 0) {
      result = r;
      return size_t(p - bytes);
    }
  }
  result = 0;
  return length;
}

// The whole per-byte algorithm; pushBinrByte handles plain payload bytes itself.
int BinrDecoder::decodeByte(uint8_t b) {
  if (b == kDle && crcTrailerState == 0) {
    if (!dleSeen) {
      dleSeen = true;  // held back until the next byte tells what it is
      return 0;
    }
    dleSeen = false;  // second of a doubled pair: a data byte
    return storeDataByte(b);
  }
  if (dleSeen) {
    dleSeen = false;
    if (inFrame) {
      if (b == kEtx) {
        inFrame = false;
        return checkMessage();
      }
      if (b == kCrcMark) {
        crcTrailerState = 1;
        return 0;
      }
      // Any other byte is data; the lone DLE before it is dropped.
    } else if (b != kEtx && b != kDle && b != kCrcMark) {
      inFrame = true;
      crcTrailerState = 0;
      frameLength = 0;
      crc = 0;
    }
  }
  if (crcTrailerState == 1) {
    receivedCrc = b;
    crcTrailerState = 2;
    return 0;
  }
  if (crcTrailerState == 2) {
    crcTrailerState = 0;
    receivedCrc = uint16_t(receivedCrc | b << 8);
    if (receivedCrc == crc) return 0;  // the frame still has to end with DLE ETX
    inFrame = false;
    dleSeen = false;
    return -1;
  }
  return storeDataByte(b);
}

int BinrDecoder::storeDataByte(uint8_t b) {
  if (!inFrame) return 0;
  if (b == kDle) crc = binrCrcUpdate(uint16_t(crc), kDle);  // a doubled DLE counts twice
  crc = binrCrcUpdate(uint16_t(crc), b);
  frameBuffer[frameLength++] = b;
  if (frameLength == kFrameCapacity) {
    inFrame = false;
    dleSeen = false;
    return -1;
  }
  return 0;
}

int BinrDecoder::checkMessage() {
  const uint8_t id = frameBuffer[0];
  const uint8_t* payload = frameBuffer + 1;
  const uint32_t n = frameLength - 1;
  switch (id) {
    case kNavSolutionId:
    case kNavSolutionAltId:
      if (n != kNavSolutionLength) return -1;
      state.navSolution = decodeNavSolution(payload);
      break;
    case kDopId:
      if (n != kDopLength) return -1;
      state.dop = decodeDop(payload);
      break;
    case kVersionId:
      if (n != kVersionLength) return -1;
      state.version = decodeVersion(payload);
      break;
    case kStatusId:
      if (n < kStatusHeaderLength || (n - kStatusHeaderLength) % kExcludedRecordLength != 0) return -1;
      decodeStatus(payload, (n - kStatusHeaderLength) / kExcludedRecordLength, state.status);
      break;
    case kSatsInViewId:
      if (n % kSatRecordLength != 0) return -1;
      decodeSatsInView(payload, n / kSatRecordLength, state.satsInView);
      break;
    default:
      break;  // returned to the caller, nothing stored
  }
  return id;
}

}  // namespace veltrano
