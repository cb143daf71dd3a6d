#include "sim/binr_writer.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "decoding/crc16.h"
#include "sim/gnss_time.h"

namespace veltrano::sim {

namespace {
constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
constexpr int kMaxRecords = 64;

uint32_t usedMask(const Epoch& epoch, GnssSystem system) {
  uint32_t mask = 0;
  for (int i = 0; i < epoch.satCount; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    if (sat.system == system && sat.used && sat.number >= 1 && sat.number <= 32) mask |= 1u << (sat.number - 1);
  }
  return mask;
}
}  // namespace

void encodeExtended(double value, uint8_t out[10]) {
  std::memset(out, 0, 10);
  if (value == 0 || !std::isfinite(value)) return;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
  const uint64_t mantissa = uint64_t(std::ldexp(fraction, 64));
  const uint16_t top = uint16_t((exponent - 1 + 16383) | (value < 0 ? 0x8000 : 0));
  for (int i = 0; i < 8; ++i) out[i] = uint8_t(mantissa >> (8 * i));
  out[8] = uint8_t(top);
  out[9] = uint8_t(top >> 8);
}

BinrWriter::BinrWriter(const SimOptions& opts, FrameCorrupter& c) : options(opts), corrupter(c), payload(1024, 1) {}

void BinrWriter::frame(uint8_t id, bool periodic, OutputBuffer& out) {
  out.put(kDle);
  out.put(id);
  uint16_t crc = binrCrcUpdate(0, id);
  for (size_t i = 0; i < payload.size(); ++i) {
    const uint8_t b = payload.data()[i];
    out.put(b);
    crc = binrCrcUpdate(crc, b);
    if (b == kDle) {
      out.put(kDle);
      crc = binrCrcUpdate(crc, kDle);
    }
  }
  if (periodic && corrupter.next()) crc ^= 0x5AA5;
  out.put(kDle);
  out.put(0xFF);
  out.putLe16(crc);
  out.put(kDle);
  out.put(kEtx);
  out.endFrame();
  payload.clear();
}

void BinrWriter::writeEpoch(const Epoch& epoch, OutputBuffer& out) {
  writeNavSolution(epoch, out);
  writeDop(epoch, out);
  writeStatus(epoch, out);
  if (epoch.satellitesDue) writeSatellites(epoch, out);
}

void BinrWriter::writeNavSolution(const Epoch& epoch, OutputBuffer& out) {
  // Time and week are UTC, as the receiver shows them.
  const int64_t utcMillis = epoch.gpsMillis - int64_t(kLeapSeconds) * 1000;
  uint8_t time[10];
  encodeExtended(double(millisOfWeek(utcMillis)), time);
  uint8_t status = 0;
  if (epoch.valid) status |= 0x01;
  if (epoch.differential) status |= 0x08;
  payload.clear();
  payload.putDouble(epoch.latitude);
  payload.putDouble(epoch.longitude);
  payload.putDouble(epoch.height);
  payload.putFloat(float(epoch.rmsError));
  payload.put(time, sizeof time);
  payload.putLe16(uint16_t(int16_t(weekOf(utcMillis))));
  payload.putDouble(epoch.velocityNorth);
  payload.putDouble(epoch.velocityEast);
  payload.putDouble(epoch.velocityUp);
  payload.putFloat(0.05f);  // velocity error estimate, m/s
  payload.put(status);
  frame(options.binrNavId, true, out);
}

void BinrWriter::writeDop(const Epoch& epoch, OutputBuffer& out) {
  payload.clear();
  payload.put(uint8_t(epoch.usedBySystem[int(GnssSystem::Gps)]));
  payload.put(uint8_t(epoch.usedBySystem[int(GnssSystem::Glonass)]));
  payload.putFloat(float(epoch.hdop));
  payload.putFloat(float(epoch.vdop));
  frame(0x60, true, out);
}

void BinrWriter::writeStatus(const Epoch& epoch, OutputBuffer& out) {
  uint8_t flags1 = epoch.valid ? 0x10 : 0x00;  // raim
  if (epoch.differential) flags1 |= 0x08;       // rtcm
  uint8_t flags2 = 0;
  if (epoch.usedBySystem[int(GnssSystem::Gps)] > 0) flags2 |= 0x02;
  if (epoch.usedBySystem[int(GnssSystem::Glonass)] > 0) flags2 |= 0x04;
  if (epoch.usedBySystem[int(GnssSystem::Galileo)] > 0) flags2 |= 0x10;
  const bool galileo = options.systems & systemBit(GnssSystem::Galileo);
  payload.clear();
  payload.put(flags1);
  payload.put(flags2);
  payload.put(0);
  payload.put(galileo ? 0x40 : 0x00);
  payload.putLe32(usedMask(epoch, GnssSystem::Gps));
  payload.putLe32(usedMask(epoch, GnssSystem::Glonass));
  payload.putLe32(usedMask(epoch, GnssSystem::Galileo));
  int records = 0;
  for (int i = 0; i < epoch.satCount && records < kMaxRecords; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    if (!sat.rejected) continue;
    uint8_t id = 0;
    switch (sat.system) {
      case GnssSystem::Gps: id = sat.number; break;
      case GnssSystem::Glonass: id = uint8_t(64 + sat.number); break;
      case GnssSystem::Galileo: id = uint8_t(160 + sat.number); break;
      default: continue;
    }
    payload.put(id);
    payload.putLe32(0);
    ++records;
  }
  frame(0x93, true, out);
}

void BinrWriter::writeSatellites(const Epoch& epoch, OutputBuffer& out) {
  payload.clear();
  int records = 0;
  for (int i = 0; i < epoch.satCount && records < kMaxRecords; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    uint8_t system = 0;
    switch (sat.system) {
      case GnssSystem::Gps: system = 1; break;
      case GnssSystem::Glonass: system = 2; break;
      case GnssSystem::Sbas: system = 4; break;
      case GnssSystem::Galileo: system = 8; break;
      case GnssSystem::Beidou: continue;
    }
    payload.put(system);
    payload.put(sat.number);
    payload.put(uint8_t(records));  // channel
    payload.put(uint8_t(int8_t(std::lround(sat.elevation))));
    payload.putLe16(uint16_t(std::lround(sat.azimuth) % 360));
    payload.put(uint8_t(sat.snr));
    ++records;
  }
  frame(0x52, true, out);
}

void BinrWriter::writeVersion(OutputBuffer& out) {
  char text[75] = {};
  std::snprintf(text, sizeof text, "%s %s", options.device.c_str(), options.firmware.c_str());
  payload.clear();
  payload.put(0);
  payload.put(reinterpret_cast<const uint8_t*>(text), sizeof text);
  frame(0x70, false, out);
}

void BinrWriter::writePortSettings(uint32_t baud, uint8_t protocolCode, OutputBuffer& out) {
  payload.clear();
  payload.put(1);  // port number
  payload.putLe32(baud);
  payload.put(protocolCode);
  frame(0x50, false, out);
}

}  // namespace veltrano::sim
