#pragma once
// Protocol options and input files shared by the command-line tool's commands.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decoding/transport_fields.h"

namespace veltrano {

std::optional<ReceiverProtocol> protocolFromName(std::string_view name);
std::optional<ReceiverProtocol> protocolFromExtension(std::string_view path);  // .nme, .dat, .b2
const char* protocolName(ReceiverProtocol protocol);

// Reads a whole input in pieces of the playback chunk size; `consume` gets each
// piece. Returns false and prints a one-line message naming the file when it
// cannot be opened or read.
template <typename Consume>
bool readInput(const std::string& path, Consume&& consume) {
  std::FILE* file = path.empty() ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::perror(("veltrano-cli: " + path).c_str());
    return false;
  }
  static unsigned char chunk[32768];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    if (n > 0) consume(chunk, n);
    if (n < sizeof chunk) {
      if (std::ferror(file)) {
        std::perror(("veltrano-cli: " + (path.empty() ? std::string("standard input") : path)).c_str());
        ok = false;
      }
      break;
    }
  }
  if (file != stdin) std::fclose(file);
  return ok;
}

}  // namespace veltrano
