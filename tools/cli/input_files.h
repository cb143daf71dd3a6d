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

// Reads an open stream to its end in pieces of the playback chunk size;
// `consume` gets each piece. Returns false and prints a one-line message naming
// the input when it cannot be read.
template <typename Consume>
bool readStream(std::FILE* file, const std::string& name, Consume&& consume) {
  static unsigned char chunk[32768];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    if (n > 0) consume(chunk, n);
    if (n < sizeof chunk) {
      if (!std::ferror(file)) return true;
      std::perror(("veltrano-cli: " + name).c_str());
      return false;
    }
  }
}

// Reads a whole input (standard input for an empty path) as readStream does.
// Returns false and prints a one-line message naming the file when it cannot
// be opened or read.
template <typename Consume>
bool readInput(const std::string& path, Consume&& consume) {
  std::FILE* file = path.empty() ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::perror(("veltrano-cli: " + path).c_str());
    return false;
  }
  const bool ok = readStream(file, path.empty() ? std::string("standard input") : path, consume);
  if (file != stdin) std::fclose(file);
  return ok;
}

}  // namespace veltrano
