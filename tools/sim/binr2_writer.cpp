#include "sim/binr2_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "decoding/crc16.h"
#include "sim/gnss_time.h"
#include "util/formatters.h"

namespace veltrano::sim {

namespace {
constexpr uint8_t kSync[4] = {0xA5, 0x5A, 0xB5, 0x5B};
constexpr int kMaxRecords = 64;

uint64_t satelliteMask(const Epoch& epoch, GnssSystem system, bool rejected) {
  uint64_t mask = 0;
  for (int i = 0; i < epoch.satCount; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    if (sat.system == system && (rejected ? sat.rejected : sat.used) && sat.number >= 1 && sat.number <= 64)
      mask |= uint64_t(1) << (sat.number - 1);
  }
  return mask;
}

uint8_t tenths(double value) { return uint8_t(std::clamp(std::lround(value * 10.0), 0L, 255L)); }

uint16_t tenthsWide(double value) { return uint16_t(std::clamp(std::lround(value * 10.0), 0L, 65535L)); }

uint32_t centimetres(double metres) { return uint32_t(int32_t(std::lround(metres * 100.0))); }
}  // namespace

Binr2Writer::Binr2Writer(const SimOptions& opts, FrameCorrupter& c) : options(opts), corrupter(c), payload(2048, 1) {}

void Binr2Writer::frame(uint8_t id, bool periodic, OutputBuffer& out) {
  out.put(kSync, sizeof kSync);
  out.putLe16(uint16_t(payload.size() + 1));
  out.put(id);
  uint16_t crc = binrCrcUpdate(0, id);
  for (size_t i = 0; i < payload.size(); ++i) {
    out.put(payload.data()[i]);
    crc = binrCrcUpdate(crc, payload.data()[i]);
  }
  if (periodic && corrupter.next()) crc ^= 0x5AA5;
  out.putLe16(crc);
  out.endFrame();
  payload.clear();
}

void Binr2Writer::writeEpoch(const Epoch& epoch, OutputBuffer& out) {
  writeNavSolution(epoch, out);
  if (epoch.satellitesDue) writeSatellites(epoch, out);
  writeMasks(epoch, out);
  writeTimeInfo(out);
}

void Binr2Writer::writeNavSolution(const Epoch& epoch, OutputBuffer& out) {
  uint8_t flags1 = 0;
  if (epoch.valid) flags1 |= 0x11;  // valid, raim
  if (epoch.differential) flags1 |= 0x08;
  uint8_t flags2 = 0;
  if (epoch.usedBySystem[int(GnssSystem::Gps)] > 0) flags2 |= 0x02;
  if (epoch.usedBySystem[int(GnssSystem::Glonass)] > 0) flags2 |= 0x04;
  if (epoch.usedBySystem[int(GnssSystem::Galileo)] > 0) flags2 |= 0x10;
  payload.clear();
  payload.putLe32(uint32_t(millisOfWeek(epoch.gpsMillis)));
  payload.putLe32(0);
  payload.putLe16(uint16_t(weekOf(epoch.gpsMillis)));
  payload.put(0);  // time scale: GPS
  payload.putLe32(0);
  payload.putLe32(uint32_t(int32_t(std::lround(epoch.latitude * 180.0 / kPi * 1e7))));
  payload.putLe32(uint32_t(int32_t(std::lround(epoch.longitude * 180.0 / kPi * 1e7))));
  payload.putLe32(centimetres(epoch.height + epoch.geoidSeparation));
  payload.putLe16(uint16_t(centimetres(epoch.geoidSeparation)));
  payload.putLe16(tenthsWide(epoch.sigmaNorth));
  payload.putLe16(tenthsWide(epoch.sigmaEast));
  payload.putLe16(0);
  payload.putLe32(centimetres(epoch.velocityNorth));
  payload.putLe32(centimetres(epoch.velocityEast));
  payload.putLe32(centimetres(epoch.velocityUp));
  payload.put(tenths(epoch.hdop));
  payload.put(tenths(epoch.vdop));
  payload.put(0);
  payload.put(flags1);
  payload.put(flags2);
  payload.putLe16(0);
  payload.put(uint8_t(epoch.usedBySystem[int(GnssSystem::Gps)]));
  payload.put(uint8_t(epoch.usedBySystem[int(GnssSystem::Glonass)]));
  payload.put(uint8_t(epoch.usedBySystem[int(GnssSystem::Galileo)]));
  payload.put(0);
  frame(0x90, true, out);
}

void Binr2Writer::writeSatellites(const Epoch& epoch, OutputBuffer& out) {
  payload.clear();
  int records = 0;
  for (int i = 0; i < epoch.satCount && records < kMaxRecords; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    uint8_t system = 0;
    switch (sat.system) {
      case GnssSystem::Glonass: system = 1; break;
      case GnssSystem::Gps: system = 2; break;
      case GnssSystem::Sbas: system = 3; break;
      case GnssSystem::Galileo: system = 4; break;
      case GnssSystem::Beidou: continue;
    }
    payload.put(system);
    payload.put(sat.number);
    payload.put(0);
    payload.putLe16(tenthsWide(sat.elevation));
    payload.putLe16(uint16_t(tenthsWide(sat.azimuth) % 3600));
    payload.putLe16(uint16_t(sat.snr * 10));
    ++records;
  }
  frame(0xA0, true, out);
}

void Binr2Writer::writeMasks(const Epoch& epoch, OutputBuffer& out) {
  uint8_t flags = 0;
  if (options.systems & systemBit(GnssSystem::Glonass)) flags |= 0x01;
  if (options.systems & systemBit(GnssSystem::Gps)) flags |= 0x02;
  if (options.systems & systemBit(GnssSystem::Galileo)) flags |= 0x08;
  payload.clear();
  payload.put(flags);
  payload.put(flags);
  if (flags & 0x01) {
    payload.putLe32(uint32_t(satelliteMask(epoch, GnssSystem::Glonass, false)));
    payload.putLe32(uint32_t(satelliteMask(epoch, GnssSystem::Glonass, true)));
  }
  if (flags & 0x02) {
    payload.putLe32(uint32_t(satelliteMask(epoch, GnssSystem::Gps, false)));
    payload.putLe32(uint32_t(satelliteMask(epoch, GnssSystem::Gps, true)));
  }
  if (flags & 0x08) {
    payload.putLe64(satelliteMask(epoch, GnssSystem::Galileo, false));
    payload.putLe64(satelliteMask(epoch, GnssSystem::Galileo, true));
  }
  frame(0xA1, true, out);
}

void Binr2Writer::writeTimeInfo(OutputBuffer& out) {
  payload.clear();
  payload.put(0x40);  // leap seconds valid
  for (int i = 0; i < 25; ++i) payload.put(0);
  payload.put(uint8_t(kLeapSeconds));
  frame(0xB2, true, out);
}

void Binr2Writer::writeDeviceId(OutputBuffer& out) {
  uint8_t id[64] = {};
  std::memcpy(id + 1, options.device.data(), std::min<size_t>(options.device.size(), 5));
  std::memcpy(id + 7, options.firmware.data(), 2);
  std::memcpy(id + 10, options.firmware.data() + 3, 2);
  std::memcpy(id + 13, "SIM", 3);
  payload.clear();
  payload.put(id, sizeof id);
  frame(0xC0, false, out);
}

void Binr2Writer::writeAck(uint8_t command, OutputBuffer& out) {
  payload.clear();
  payload.put(command);
  payload.put(0);
  frame(0x80, false, out);
}

}  // namespace veltrano::sim
