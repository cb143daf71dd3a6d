#include "convert_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "checked_output.h"
#include "decoding/nmea_conversion_writer.h"
#include "headless_playback.h"
#include "input_files.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano-cli convert [--protocol binr|binr2] [--force] INPUT [OUTPUT]\n"
    "  Writes the NMEA conversion of a BINR or BINR2 recording, the same file that fast\n"
    "  playback writes beside it. OUTPUT defaults to INPUT up to the first \".\" of its\n"
    "  name followed by \"nme\". --protocol may be left out when INPUT ends in .dat\n"
    "  (BINR) or .b2 (BINR2). An existing OUTPUT is replaced only with --force.\n";

constexpr size_t kChunkSize = 32768;  // one read of fast playback

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace

int runConvert(int argc, char** argv) {
  std::optional<ReceiverProtocol> protocol;
  std::string input, output;
  bool force = false;
  int positional = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--protocol" && i + 1 < argc) {
      protocol = protocolFromName(argv[++i]);
      if (!protocol || *protocol == ReceiverProtocol::NMEA) {
        std::fputs("veltrano-cli: convert reads BINR or BINR2 recordings\n", stderr);
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (arg == "--force") {
      force = true;
    } else if (arg == "--help" || arg == "-h") {
      return printHelp(kUsage);
    } else if ((arg.size() > 1 && arg[0] == '-') || positional == 2) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      (positional++ == 0 ? input : output) = std::string(arg);
    }
  }
  if (input.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!protocol) {
    protocol = protocolFromExtension(input);
    if (!protocol || *protocol == ReceiverProtocol::NMEA) {
      std::fprintf(stderr, "veltrano-cli: no --protocol and %s does not end in .dat or .b2\n", input.c_str());
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (output.empty()) output = conversionFileName(input);

  std::FILE* in = std::fopen(input.c_str(), "rb");
  if (in == nullptr) {
    std::fprintf(stderr, "veltrano-cli: cannot read %s: %s\n", input.c_str(), std::strerror(errno));
    return 1;
  }
  if (sameFile(output, input)) {
    std::fclose(in);
    std::fprintf(stderr, "veltrano-cli: the output %s would replace the recording itself\n", output.c_str());
    return 1;
  }
  std::error_code ignored;
  const std::filesystem::file_status existing = std::filesystem::symlink_status(output, ignored);
  if (!force && std::filesystem::exists(existing) && !std::filesystem::is_directory(existing)) {
    std::fclose(in);
    std::fprintf(stderr, "veltrano-cli: %s exists; --force replaces it\n", output.c_str());
    return 1;
  }

  NmeaConversionWriter writer;
  NoDisplay display;
  const auto playback = std::make_unique<HeadlessPlayback>(display, writer);
  playback->startFile(*protocol);
  if (!writer.openOutput(output)) {
    std::fprintf(stderr, "veltrano-cli: cannot create %s: %s\n", output.c_str(), std::strerror(errno));
    std::fclose(in);
    return 1;
  }
  static uint8_t chunk[kChunkSize];
  bool readFailed = false;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, in);
    playback->playChunk(chunk, n);
    if (n < sizeof chunk) {
      readFailed = std::ferror(in) != 0;
      break;
    }
  }
  std::fclose(in);
  writer.closeConversionFile();
  if (readFailed) {
    std::fprintf(stderr, "veltrano-cli: cannot read %s\n", input.c_str());
    return 1;
  }
  if (writer.writeFailed()) {
    std::fprintf(stderr, "veltrano-cli: cannot write %s: the output is incomplete\n", output.c_str());
    return 1;
  }
  return 0;
}

}  // namespace veltrano
