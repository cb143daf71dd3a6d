#include "decoding/message_fan_out.h"

#include "link/sync_search_table.h"

namespace veltrano {

namespace {
constexpr int32_t kReceiverFound = 10;

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

std::string recordFileName(const std::string& deviceLabel, const std::string& portEntry, const char* extension) {
  const size_t deviceBlank = deviceLabel.find(' ');
  const std::string device = deviceBlank == std::string::npos ? std::string() : deviceLabel.substr(0, deviceBlank);
  const size_t portBlank = portEntry.find(' ');
  std::string port;
  if (portBlank != std::string::npos && portBlank > 3) port = portEntry.substr(3, portBlank - 3);
  return device + "_c" + port + extension;
}

void MessageFanOut::countError() {
  transport_.errorCount += 1;
  target_.showErrorCount(std::to_string(transport_.errorCount));
}

void MessageFanOut::nameRecordFile(const char* extension) {
  target_.setFileLabel(recordFileName(target_.deviceLabel(), target_.portComboText(), extension));
}

void MessageFanOut::connectionFound() {
  target_.setInfoLabel("Connection Ok");
  target_.stopSynchroTimer();
  target_.stopTransport();
  if (transport_.recordAfterSync) {
    target_.sleepMs(500);
    target_.startRecording();
  }
}

void MessageFanOut::nmeaPositionTrio() {
  if (target_.positionChecked()) target_.showNmeaPosition();
  if (target_.statisticChecked()) target_.updateNmeaStatistic();
  if (target_.visualChecked()) target_.visualRedraw();
}

void MessageFanOut::satelliteTable(const NmeaFieldTable& sentence) {
  if (target_.visualSatChecked() || target_.snrChecked()) target_.fillSatellitesFromNmea(sentence);
}

void MessageFanOut::handleNmeaByte(uint8_t b) {
  const NmeaKind kind = rx_.nmea.pushNmeaChar(b);
  if (kind == NmeaKind::None) return;

  if (synchronising()) {
    if (int(kind) > int(NmeaKind::Other) && transport_.syncBaudIndex != kReceiverFound) {
      target_.writeNmeaCommand("$POVER");
      if (transport_.syncBaudIndex != 0)
        target_.selectBaudItem(syncSearchBaud(transport_.receiverProtocol, transport_.syncBaudIndex));
      target_.setDeviceLabel("unknown");
      transport_.syncBaudIndex = kReceiverFound;
    }
    if (kind == NmeaKind::VER) {
      target_.setDeviceLabel(nmeaVersionText(rx_.nmea.stored(NmeaKind::VER)));
      if (!transport_.fileNameFixed) nameRecordFile(".nme");
    }
    return;
  }

  if (kind == NmeaKind::Error) return countError();
  if (kind != NmeaKind::GSA) target_.startNewGsaGroup();
  transport_.noDataTicks = 0;

  const NmeaAssembler& nmea = rx_.nmea;
  switch (kind) {
    case NmeaKind::GGA:
      if (nmea.positionSource == int32_t(NmeaKind::GGA) || (nmea.positionSource == 0 && nmea.gnsCount == 0))
        nmeaPositionTrio();
      break;
    case NmeaKind::RMC:
      if (nmea.positionSource == int32_t(NmeaKind::RMC) ||
          (nmea.positionSource == 0 && nmea.ggaCount == 0 && nmea.gnsCount == 0))
        nmeaPositionTrio();
      break;
    case NmeaKind::GNS:
      if (nmea.positionSource == 0 || nmea.positionSource == int32_t(NmeaKind::GNS)) nmeaPositionTrio();
      break;
    case NmeaKind::GSA:
      if (target_.satellitesChecked()) target_.showGsaSatellites();
      break;
    case NmeaKind::GPGSV:
    case NmeaKind::GLGSV:
    case NmeaKind::GAGSV:
    case NmeaKind::BDGSV:
      satelliteTable(nmea.stored(kind));
      break;
    case NmeaKind::BSS:
      if (target_.positionChecked()) target_.showBssDiffAge();
      if (target_.satellitesChecked()) target_.showBssStatus();
      break;
    case NmeaKind::VER:
      target_.setDeviceLabel(nmeaVersionText(nmea.stored(NmeaKind::VER)));
      break;
    default:
      break;
  }
}

void MessageFanOut::handleBinrByte(uint8_t b) {
  transport_.noDataTicks = 0;
  const int r = rx_.binrDecoder.pushBinrByte(b);
  switch (r) {
    case -1:
      countError();
      break;
    case 0x02:
      if (synchronising()) {
        const uint8_t data = 0x00;
        target_.writeBinrCommand(0x0C, &data, 1);
      }
      break;
    case 0x50:
      if (const auto baud = target_.selectedBaud()) target_.setPortBaud(*baud);
      transport_.syncBaudIndex = kReceiverFound;
      break;
    case 0x52:
      if (synchronising()) break;
      if (target_.visualSatChecked() || target_.snrChecked()) target_.fillSatellitesFromBinr();
      target_.writeGsvBinr();
      break;
    case 0x70:
      target_.setDeviceLabel(rx_.binr.version.versionText);
      if (synchronising()) {
        if (!transport_.fileNameFixed) nameRecordFile(".dat");
        connectionFound();
      } else {
        target_.writeAlverBinr();
      }
      break;
    case 0x88:
    case 0x90:
      if (synchronising()) break;
      if (target_.positionChecked()) target_.showBinrPosition();
      if (target_.statisticChecked()) target_.updateBinrStatistic();
      if (target_.satellitesChecked()) target_.showBinrSatellites();
      if (target_.visualChecked()) target_.visualRedraw();
      target_.writeGgaBinr();
      target_.writeRmcBinr();
      target_.writeGsaBinr();
      target_.writePorzdBinr();
      break;
    default:
      break;
  }
}

void MessageFanOut::handleBinr2Byte(uint8_t b) {
  transport_.noDataTicks = 0;
  const uint8_t id = rx_.binr2Decoder.pushBinr2Byte(b);
  switch (id) {
    case 0x80:
      if (synchronising() && rx_.binr2.ack.ackedCommand == 2) {
        if (const auto baud = target_.selectedBaud()) target_.setPortBaud(*baud);
        transport_.syncBaudIndex = kReceiverFound;
      }
      break;
    case 0x90:
      if (synchronising()) break;
      if (target_.positionChecked()) target_.showBinr2Position();
      if (target_.statisticChecked()) target_.updateBinr2Statistic();
      if (target_.satellitesChecked()) target_.showBinr2Satellites();
      if (target_.visualChecked()) target_.visualRedraw();
      target_.writeGgaBinr2();
      target_.writeRmcBinr2();
      target_.writeGsaBinr2();
      target_.writePorzdBinr2();
      break;
    case 0xA0:
      if (synchronising()) break;
      if (target_.visualSatChecked() || target_.snrChecked()) target_.fillSatellitesFromBinr2();
      target_.writeGsvBinr2();
      break;
    case 0xC0:
      target_.setDeviceLabel(binr2DeviceText(rx_.binr2.deviceId));
      if (synchronising()) {
        nameRecordFile(".b2");
        connectionFound();
      } else {
        target_.writeAlverBinr2();
      }
      break;
    default:
      break;
  }
}

}  // namespace veltrano
