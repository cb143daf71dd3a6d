#include "link/record_writer.h"

#include <sys/stat.h>

#include <cerrno>

#include "decoding/nmea_conversion_writer.h"

namespace veltrano {

namespace {

constexpr int64_t kReopenEvery = 128;  // KiB
// Enough for any burst of recordings started within one second.
constexpr int kMostNumbers = 1000;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string numberedRecordName(const std::string& name, int n) {
  const size_t fileStart = name.find_last_of('/') + 1;  // npos + 1 is 0
  const size_t dot = name.find('.', fileStart);
  std::string numbered = name;
  std::string suffix = "_";
  suffix += std::to_string(n);
  numbered.insert(dot == std::string::npos ? name.size() : dot, suffix);
  return numbered;
}

bool RecordWriter::create(const std::string& name, bool withConversion) {
  close();
  failed_ = false;
  stored_ = 0;
  error_ = 0;
  for (int n = 1; n <= kMostNumbers; ++n) {
    const std::string candidate = n == 1 ? name : numberedRecordName(name, n);
    if (withConversion && exists(conversionFileName(candidate))) continue;
    if (file_.create(candidate)) {
      name_ = candidate;
      return true;
    }
    if (errno != EEXIST) break;
  }
  error_ = errno;
  name_ = name;
  return false;
}

void RecordWriter::store(const uint8_t* bytes, int32_t length) {
  if (failed_.load(std::memory_order_relaxed)) return;
  if (file_.write(bytes, length) < length) {
    failed_.store(true, std::memory_order_release);
    return;
  }
  stored_ += length;
  if ((stored_ / 1024) % kReopenEvery == 0 && !file_.reopenForAppend()) failed_.store(true, std::memory_order_release);
}

void RecordWriter::close() { file_.close(); }

}  // namespace veltrano
