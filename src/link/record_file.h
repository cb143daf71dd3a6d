#pragma once
// The raw record file. Every write goes straight to the operating system, so
// whatever was handed to `write` is in the file even if the program is killed
// right after.
#include <cstdint>
#include <string>

namespace veltrano {

class RecordFile {
 public:
  RecordFile() = default;
  ~RecordFile() { close(); }
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Creates `name` empty; an existing file is never replaced. False when it
  // cannot, with errno telling why (EEXIST for an existing file).
  bool create(const std::string& name);
  // Closes the file and opens the same name again for appending, which puts
  // everything written so far on the disk; false when it cannot be opened again
  // (the file is closed then).
  bool reopenForAppend();
  // Writes all `length` bytes unless the medium refuses them; the number written.
  int32_t write(const uint8_t* bytes, int32_t length);
  void close();
  bool isOpen() const { return descriptor_ >= 0; }

 private:
  bool open(int flags);

  int descriptor_ = -1;
  std::string name_;
};

}  // namespace veltrano
