#include "decoding/message_fan_out.h"

#include "decoding/fix_builder.h"
#include "decoding/nmea_position_source.h"
#include "util/host_port.h"

namespace veltrano {

namespace {

void appendUpToNul(std::string& out, std::string_view text, size_t count, bool& ended) {
  for (size_t i = 0; i < count && !ended; ++i) {
    if (i >= text.size()) {
      ended = true;
      return;
    }
    out += text[i];
  }
}
}  // namespace

std::string nmeaVersionText(const NmeaFieldTable& ver) {
  // The version fields are printed character by character; a field shorter than
  // four characters ends the whole text where it ends.
  std::string text(ver.text(2));
  text += ' ';
  bool ended = false;
  const std::string_view version = ver.text(3);
  appendUpToNul(text, version, 2, ended);
  if (!ended) text += '.';
  appendUpToNul(text, version.size() > 2 ? version.substr(2) : std::string_view(), 2, ended);
  if (ver.fieldCount != 6 || ended) return text;
  text += "  ";
  text += ver.text(4);
  text += ' ';
  const std::string_view second = ver.text(5);
  appendUpToNul(text, second, 2, ended);
  if (!ended) text += '.';
  appendUpToNul(text, second.size() > 2 ? second.substr(2) : std::string_view(), 2, ended);
  return text;
}

std::string binr2DeviceText(const Binr2DeviceId& id) {
  std::string text = id.deviceName;
  text += ' ';
  text += id.versionMajor;
  text += '.';
  text += id.versionMinor;
  text += ' ';
  text += id.deviceExtra;
  return text;
}

std::string recordPortPart(std::string_view portName) {
  if (isTcpPortName(portName)) {
    const auto address = parseTcpPortName(portName);
    if (const HostPort* hostPort = std::get_if<HostPort>(&address)) return hostPortFilePart(*hostPort);
  }
  const size_t slash = portName.rfind('/');
  std::string_view part = slash == std::string_view::npos ? portName : portName.substr(slash + 1);
  std::string folder;
  // "/dev/pts/3": a bare number says little, its folder names the kind of port.
  if (!part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos && slash != 0 &&
      slash != std::string_view::npos) {
    const std::string_view parent = portName.substr(0, slash);
    folder = parent.substr(parent.rfind('/') + 1);  // npos + 1 is 0: no slash before
  }
  std::string name = folder + std::string(part);
  if (name.starts_with("tty")) name.erase(0, 3);
  return name;
}

std::string recordFileName(const std::string& deviceLabel, const std::string& portName, const char* extension) {
  const size_t deviceBlank = deviceLabel.find(' ');
  const std::string device = deviceBlank == std::string::npos ? std::string() : deviceLabel.substr(0, deviceBlank);
  return device + "_c" + recordPortPart(portName) + extension;
}

void MessageFanOut::handleNmea(const uint8_t* bytes, size_t length) {
  for (size_t at = 0; at < length;) {
    NmeaKind kind;
    at += rx_.nmea.pushNmeaChars(bytes + at, length - at, kind);
    if (kind != NmeaKind::None) routeNmea(kind);
  }
}

void MessageFanOut::handleBinr(const uint8_t* bytes, size_t length) {
  for (size_t at = 0; at < length;) {
    // Any byte counts as data, also after a message that reset the count.
    transport_.noDataTicks = 0;
    int result;
    at += rx_.binrDecoder.pushBinrBytes(bytes + at, length - at, result);
    if (result != 0) routeBinr(result);
  }
}

void MessageFanOut::handleBinr2(const uint8_t* bytes, size_t length) {
  for (size_t at = 0; at < length;) {
    transport_.noDataTicks = 0;
    uint8_t id;
    at += rx_.binr2Decoder.pushBinr2Bytes(bytes + at, length - at, id);
    if (id != 0) routeBinr2(id);
  }
}

void MessageFanOut::countError() {
  transport_.errorCount += 1;
  display_.showErrorCount(transport_.errorCount);
}

void MessageFanOut::identified(const char* extension, bool connected) {
  sync_->receiverIdentified(transport_.fileNameFixed ? nullptr : extension, connected);
}

void MessageFanOut::routeNmea(NmeaKind kind) {
  const NmeaAssembler& nmea = rx_.nmea;

  if (synchronising()) {
    if (int(kind) > int(NmeaKind::Other) && transport_.syncBaudIndex != kReceiverFound) {
      sync_->receiverHeard();
      transport_.syncBaudIndex = kReceiverFound;
    }
    if (kind == NmeaKind::VER) {
      display_.showDevice(nmeaVersionText(nmea.stored(NmeaKind::VER)));
      identified(".nme", false);
    }
    return;
  }

  if (kind == NmeaKind::Error) return countError();
  if (kind != NmeaKind::GSA) display_.endGsaGroup();
  transport_.noDataTicks = 0;

  switch (kind) {
    case NmeaKind::GGA:
    case NmeaKind::RMC:
    case NmeaKind::GNS:
      if (!nmeaSentenceUpdatesPosition(nmea, kind)) break;
      buildNmeaFix(nmea, fix_);
      display_.showSolution(fix_, nullptr);
      break;
    case NmeaKind::GSA:
      display_.showGsa(nmea.stored(NmeaKind::GSA));
      break;
    case NmeaKind::BSS:
      display_.showBss(nmea.stored(NmeaKind::BSS));
      break;
    case NmeaKind::VER:
      display_.showDevice(nmeaVersionText(nmea.stored(NmeaKind::VER)));
      break;
    case NmeaKind::GPGSV:
    case NmeaKind::GLGSV:
    case NmeaKind::GAGSV:
    case NmeaKind::BDGSV:
      display_.showSatellitesInView(kind, nmea.stored(kind), nmea.glgsvCount > 0);
      break;
    default:
      break;
  }
}

void MessageFanOut::routeBinr(int r) {
  const BinrState& binr = rx_.binr;
  switch (r) {
    case -1:
      countError();
      break;
    case 0x02:
      if (synchronising()) sync_->receiverStatusReported();
      break;
    case 0x50:
      sync_->rateAcknowledged();
      transport_.syncBaudIndex = kReceiverFound;
      break;
    case 0x52:
      if (synchronising()) break;
      display_.showSatellitesInView(binr.satsInView);
      conversion_.writeSatellitesInView(binr.satsInView);
      break;
    case 0x70:
      display_.showDevice(binr.version.versionText);
      if (synchronising())
        identified(".dat", true);
      else
        conversion_.writeVersion(binr.version);
      break;
    case 0x88:
    case 0x90:
      if (synchronising()) break;
      buildBinrFix(binr, fix_);
      buildBinrSatellites(binr.status, satellites_);
      display_.showSolution(fix_, &satellites_);
      conversion_.writeSolution(fix_);
      break;
    default:
      break;
  }
}

void MessageFanOut::routeBinr2(uint8_t id) {
  const Binr2State& binr2 = rx_.binr2;
  switch (id) {
    case kBinr2Ack:
      if (synchronising() && binr2.ack.ackedCommand == 2) {
        sync_->rateAcknowledged();
        transport_.syncBaudIndex = kReceiverFound;
      }
      break;
    case kBinr2NavSolution:
      if (synchronising()) break;
      buildBinr2Fix(binr2, fix_);
      buildBinr2Satellites(binr2, satellites_);
      display_.showSolution(fix_, &satellites_);
      conversion_.writeSolution(fix_);
      break;
    case kBinr2SatsInView:
      if (synchronising()) break;
      display_.showSatellitesInView(binr2.satsInView);
      conversion_.writeSatellitesInView(binr2.satsInView);
      break;
    case kBinr2DeviceId:
      display_.showDevice(binr2DeviceText(binr2.deviceId));
      // The BINR2 record file is always named after the receiver.
      if (synchronising())
        sync_->receiverIdentified(".b2", true);
      else
        conversion_.writeVersion(binr2.deviceId);
      break;
    default:
      break;
  }
}

}  // namespace veltrano
