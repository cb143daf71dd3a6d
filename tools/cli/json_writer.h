#pragma once
// A small buffered writer of JSON Lines: one object per line, written to a
// checked output in large pieces.
#include <cstdint>
#include <string>
#include <string_view>

#include "checked_output.h"

namespace veltrano {

class JsonWriter {
 public:
  explicit JsonWriter(CheckedOutput& out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
  ~JsonWriter() { flush(); }
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void beginObject();
  void endObject();  // closes the object; at depth 0 also ends the line
  void beginArray(std::string_view key = {});
  void endArray();
  void key(std::string_view name);

  void field(std::string_view name, std::string_view text);
  void field(std::string_view name, int64_t value);
  void field(std::string_view name, uint64_t value);
  void field(std::string_view name, double value);
  void fieldBool(std::string_view name, bool value);

  void value(std::string_view text);  // string element of an array
  void value(int64_t number);         // number element of an array
  // Hands the buffered lines to the output.
  void flush();

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  void separator();
  void text(std::string_view s);

  CheckedOutput& out_;
  std::string buffer_;
  int depth_ = 0;
  bool first_ = true;
};

}  // namespace veltrano
