#pragma once
// The --copy files: every byte the receiver wrote to its terminal, as written
// (garbled where the rates differed), one file per opening of the terminal by
// the other side: PREFIX.1 for the first, PREFIX.2 for the next, ... A program's
// recording of one opening can then be compared with what was sent to it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace veltrano::sim {

class SentCopy {
 public:
  explicit SentCopy(std::string prefix) : prefix(std::move(prefix)) {}
  ~SentCopy();
  SentCopy(const SentCopy&) = delete;
  SentCopy& operator=(const SentCopy&) = delete;

  // The other side opened the terminal: later writes go to the next file. False
  // when it cannot be created. Without a prefix nothing is copied.
  bool startOpening();
  // Appends the bytes at once, so that the file is complete while the receiver runs on.
  void write(const uint8_t* bytes, size_t n);

 private:
  void close();

  const std::string prefix;
  int fd = -1;
  int openings = 0;
};

}  // namespace veltrano::sim
