#include "decoding/binr2_state.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace veltrano {

namespace {

constexpr double kSecondsPerWeek = 604800.0;

template <typename T>
T readLe(const uint8_t* p) {
  using U = std::make_unsigned_t<T>;
  U value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value = U(value | U(U(p[i]) << (8 * i)));
  return T(value);
}

// Overwrites the front of a raw record with at most its room of payload bytes;
// returns how many were written.
template <size_t N>
size_t copyPayload(uint8_t (&raw)[N], const uint8_t* payload, size_t length) {
  const size_t n = std::min(length, N);
  std::memcpy(raw, payload, n);
  return n;
}

void decodeAck(Binr2Ack& r) { r.ackedCommand = r.raw[0]; }

void decodeNavSolution(Binr2NavSolution& r) {
  const uint8_t* p = r.raw;
  r.timeOfWeek = readLe<uint32_t>(p + 0);
  r.week = readLe<uint16_t>(p + 8);
  r.timeScale = p[10];
  r.latitude = readLe<int32_t>(p + 15);
  r.longitude = readLe<int32_t>(p + 19);
  r.ellipsoidHeight = readLe<int32_t>(p + 23);
  r.geoidSeparation = readLe<int16_t>(p + 27);
  r.errorComponent1 = readLe<uint16_t>(p + 29);
  r.errorComponent2 = readLe<uint16_t>(p + 31);
  r.velocityNorth = readLe<int32_t>(p + 35);
  r.velocityEast = readLe<int32_t>(p + 39);
  r.hdop = p[47];
  r.vdop = p[48];
  r.statusFlags1 = p[50];
  r.statusFlags2 = p[51];
  r.gpsUsed = p[54];
  r.glonassUsed = p[55];
  r.galileoUsed = p[56];
}

void decodeSatsInView(Binr2SatsInView& r, size_t copied, size_t payloadLength) {
  constexpr size_t kSize = Binr2SatsInView::kRecordSize;
  const size_t touched = (copied + kSize - 1) / kSize;
  for (size_t i = 0; i < touched; ++i) {
    const uint8_t* p = r.raw + i * kSize;
    Binr2SatInView& s = r.sat[i];
    s.system = p[0];
    s.number = p[1];
    s.elevation = readLe<uint16_t>(p + 3);
    s.azimuth = readLe<uint16_t>(p + 5);
    s.snr = readLe<uint16_t>(p + 7);
  }
  r.satCount = uint8_t(std::min(payloadLength / kSize, size_t(Binr2SatsInView::kMaxSats)));
}

// Mask bytes that lie beyond the payload keep their previous values.
template <typename T>
void takeMask(T& mask, const uint8_t* payload, size_t length, size_t& pos) {
  for (size_t i = 0; i < sizeof(T) && pos + i < length; ++i) {
    const T byteMask = T(T(0xFF) << (8 * i));
    mask = T((mask & ~byteMask) | T(T(payload[pos + i]) << (8 * i)));
  }
  pos += sizeof(T);
}

void parseSatMasks(Binr2SatMasks& r, const uint8_t* payload, size_t length) {
  if (length > 0) r.usedFlags = payload[0];
  if (length > 1) r.rejectedFlags = payload[1];
  constexpr uint8_t kGlonass = 0x01, kGps = 0x02, kGalileo = 0x08;
  size_t pos = 2;
  if (r.usedFlags & kGlonass) takeMask(r.glonassUsedMask, payload, length, pos);
  if (r.rejectedFlags & kGlonass) takeMask(r.glonassRejectedMask, payload, length, pos);
  if (r.usedFlags & kGps) takeMask(r.gpsUsedMask, payload, length, pos);
  if (r.rejectedFlags & kGps) takeMask(r.gpsRejectedMask, payload, length, pos);
  if (r.usedFlags & kGalileo) takeMask(r.galileoUsedMask, payload, length, pos);
  if (r.rejectedFlags & kGalileo) takeMask(r.galileoRejectedMask, payload, length, pos);
}

void decodeTimeInfo(Binr2TimeInfo& r) {
  r.leapSecondsValid = (r.raw[0] & 0x40) != 0;
  r.leapSeconds = r.raw[26];
}

template <size_t N>
void copyText(char (&text)[N], const uint8_t* from) {
  size_t i = 0;
  for (; i + 1 < N && from[i] != 0; ++i) text[i] = char(from[i]);
  text[i] = '\0';
}

void decodeDeviceId(Binr2DeviceId& r) {
  copyText(r.deviceName, r.raw + 1);
  copyText(r.versionMajor, r.raw + 7);
  copyText(r.versionMinor, r.raw + 10);
  copyText(r.deviceExtra, r.raw + 13);
}

}  // namespace

CorrectedTime correctedTime(const Binr2State& state) {
  const Binr2NavSolution& nav = state.navSolution;
  CorrectedTime t{nav.timeOfWeek * 0.001, nav.week};
  if (state.timeInfo.leapSecondsValid && nav.timeScale != 1 && nav.timeScale != 4) {
    t.seconds -= state.timeInfo.leapSeconds;
    if (t.seconds < 0) {
      t.seconds += kSecondsPerWeek;
      t.week -= 1;
    }
  }
  return t;
}

uint8_t dispatchBinr2Frame(Binr2State& state, const uint8_t* body, uint16_t length) {
  if (length == 0) return 0;
  const uint8_t id = body[0];
  const uint8_t* payload = body + 1;
  const size_t n = length - 1u;
  switch (id) {
    case kBinr2Ack:
      copyPayload(state.ack.raw, payload, n);
      decodeAck(state.ack);
      break;
    case kBinr2NavSolution:
      copyPayload(state.navSolution.raw, payload, n);
      decodeNavSolution(state.navSolution);
      break;
    case kBinr2SatsInView:
      decodeSatsInView(state.satsInView, copyPayload(state.satsInView.raw, payload, n), n);
      break;
    case kBinr2SatMasks:
      parseSatMasks(state.satMasks, payload, n);
      break;
    case kBinr2TimeInfo:
      copyPayload(state.timeInfo.raw, payload, n);
      decodeTimeInfo(state.timeInfo);
      break;
    case kBinr2MsgB5:
      copyPayload(state.msgB5, payload, n);
      break;
    case kBinr2DeviceId:
      copyPayload(state.deviceId.raw, payload, n);
      decodeDeviceId(state.deviceId);
      break;
    default:
      break;
  }
  return id;
}

}  // namespace veltrano
