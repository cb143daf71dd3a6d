#pragma once
// The record file of a recording as the serial reader fills it: every block is
// appended the moment it was read from the port, before the main thread decodes
// or paints anything, so a busy main thread, a Stop or a killed program loses
// nothing the reader already had (a kill at most the last read).
#include <atomic>
#include <cstdint>
#include <string>

#include "link/record_file.h"

namespace veltrano {

class RecordWriter {
 public:
  // Main thread, before the reader starts. Creates `name` or, when that file (or
  // with `withConversion` the NMEA conversion file beside it) exists already, the
  // first free name with "_2", "_3", ... before the first "." of its file name.
  // False when no file could be created; error() then tells why.
  bool create(const std::string& name, bool withConversion);
  const std::string& name() const { return name_; }
  int error() const { return error_; }

  // Reader thread, while the reader runs: appends the block. Around every
  // 128 KiB the file is closed and opened again, which puts what was written on
  // the disk. After a write or reopen fails nothing more is stored.
  void store(const uint8_t* bytes, int32_t length);
  // Any thread: a block could not be stored (the medium is full or gone).
  bool failed() const { return failed_.load(std::memory_order_acquire); }

  // Main thread, once the reader has stopped.
  void close();

 private:
  RecordFile file_;
  std::string name_;
  int error_ = 0;
  int64_t stored_ = 0;
  std::atomic<bool> failed_{false};
};

// `name` with "_<n>" before the first "." of its last path component (at the end without one).
std::string numberedRecordName(const std::string& name, int n);

}  // namespace veltrano
