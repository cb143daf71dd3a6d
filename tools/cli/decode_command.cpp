#include "decode_command.h"

#include <cstring>
#include <memory>

#include "checked_output.h"
#include "input_files.h"
#include "message_json.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli decode [--protocol nmea|binr|binr2] [--summary] [FILE...]\n"
    "  Decodes recordings (standard input without FILE) and writes one JSON object per\n"
    "  message, then a summary. --protocol may be left out when every FILE ends in\n"
    "  .nme (NMEA), .dat (BINR) or .b2 (BINR2).\n";

class Decoder {
 public:
  Decoder(JsonWriter& out, bool summaryOnly) : out_(out), summaryOnly_(summaryOnly) {}

  void startInput() { receiver_->resetDecoders(); }

  void feed(ReceiverProtocol protocol, const unsigned char* bytes, size_t length) {
    // Each decoder takes the bytes up to the end of its next message; offset_ is
    // then the offset just after that message's last byte.
    const int64_t start = offset_;
    for (size_t at = 0; at < length;) {
      switch (protocol) {
        case ReceiverProtocol::NMEA: {
          NmeaKind kind;
          at += receiver_->nmea.pushNmeaChars(bytes + at, length - at, kind);
          offset_ = start + int64_t(at);
          nmeaMessage(kind);
          break;
        }
        case ReceiverProtocol::BINR: {
          int id;
          at += receiver_->binrDecoder.pushBinrBytes(bytes + at, length - at, id);
          offset_ = start + int64_t(at);
          binrMessage(id);
          break;
        }
        case ReceiverProtocol::BINR2: {
          uint8_t id;
          at += receiver_->binr2Decoder.pushBinr2Bytes(bytes + at, length - at, id);
          offset_ = start + int64_t(at);
          binr2Message(id);
          break;
        }
      }
    }
  }

  void writeSummary() {
    out_.beginObject();
    out_.field("type", "summary");
    out_.field("offset", offset_);
    out_.field("bytes", offset_);
    out_.key("messages");
    out_.beginObject();
    for (int kind = int(NmeaKind::Other); kind <= int(NmeaKind::VER); ++kind)
      if (nmeaCounts_[kind]) count(nmeaKindName(NmeaKind(kind)), nmeaCounts_[kind]);
    char name[8];
    for (int id = 0; id < 256; ++id) {
      if (binrCounts_[id]) {
        std::snprintf(name, sizeof name, "0x%02X", id);
        count(name, binrCounts_[id]);
      }
    }
    for (int id = 0; id < 256; ++id) {
      if (binr2Counts_[id]) {
        std::snprintf(name, sizeof name, "b2:0x%02X", id);
        count(name, binr2Counts_[id]);
      }
    }
    out_.endObject();
    out_.field("errors", errors_);
    out_.endObject();
  }

 private:
  void count(std::string_view name, int64_t messages) { out_.field(name, messages); }

  void error(const char* protocol) {
    ++errors_;
    if (!summaryOnly_) writeErrorMessage(out_, offset_, protocol);
  }

  void nmeaMessage(NmeaKind kind) {
    if (kind == NmeaKind::None) return;
    if (kind == NmeaKind::Error) return error("nmea");
    ++nmeaCounts_[int(kind)];
    if (!summaryOnly_) writeNmeaMessage(out_, offset_, kind, receiver_->nmea.fields());
  }

  void binrMessage(int id) {
    if (id == 0) return;
    if (id < 0) return error("binr");
    ++binrCounts_[id];
    if (!summaryOnly_) writeBinrMessage(out_, offset_, id, receiver_->binr);
  }

  void binr2Message(uint8_t id) {
    if (id == 0) return;
    ++binr2Counts_[id];
    if (!summaryOnly_) writeBinr2Message(out_, offset_, id, receiver_->binr2);
  }

  JsonWriter& out_;
  bool summaryOnly_;
  std::unique_ptr<Receiver> receiver_ = std::make_unique<Receiver>();
  int64_t offset_ = 0;
  int64_t errors_ = 0;
  int64_t nmeaCounts_[16] = {};
  int64_t binrCounts_[256] = {};
  int64_t binr2Counts_[256] = {};
};

}  // namespace

int runDecode(int argc, char** argv) {
  std::optional<ReceiverProtocol> protocol;
  bool summaryOnly = false;
  std::vector<std::string> files;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--protocol" && i + 1 < argc) {
      protocol = protocolFromName(argv[++i]);
      if (!protocol) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (arg == "--summary") {
      summaryOnly = true;
    } else if (arg == "--help" || arg == "-h") {
      return printHelp(kUsage);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty()) files.emplace_back();  // standard input
  std::vector<ReceiverProtocol> protocols;
  for (const auto& file : files) {
    const auto chosen = protocol ? protocol : protocolFromExtension(file);
    if (!chosen) {
      std::fprintf(stderr, "veltrano-cli: no --protocol and no known extension for %s\n",
                   file.empty() ? "standard input" : file.c_str());
      std::fputs(kUsage, stderr);
      return 2;
    }
    protocols.push_back(*chosen);
  }

  CheckedOutput output = standardOutput();
  JsonWriter out(output);
  Decoder decoder(out, summaryOnly);
  for (size_t i = 0; i < files.size(); ++i) {
    decoder.startInput();
    const bool ok = readInput(files[i], [&](const unsigned char* bytes, size_t n) { decoder.feed(protocols[i], bytes, n); });
    if (!ok) {
      out.flush();
      output.finish();
      return 1;
    }
  }
  decoder.writeSummary();
  out.flush();
  return output.finish() ? 0 : 1;
}

}  // namespace veltrano
