#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace veltrano {

void JsonWriter::separator() {
  if (!first_) buffer_ += ',';
  first_ = false;
}

void JsonWriter::beginObject() {
  if (depth_ > 0) separator();
  buffer_ += '{';
  ++depth_;
  first_ = true;
}

void JsonWriter::endObject() {
  buffer_ += '}';
  --depth_;
  first_ = false;
  if (depth_ == 0) {
    buffer_ += '\n';
    first_ = true;
    if (buffer_.size() >= kFlushAt) flush();
  }
}

void JsonWriter::key(std::string_view name) {
  separator();
  text(name);
  buffer_ += ':';
  first_ = true;  // the value that follows needs no comma
}

void JsonWriter::beginArray(std::string_view name) {
  if (!name.empty())
    key(name);
  else
    separator();
  buffer_ += '[';
  ++depth_;
  first_ = true;
}

void JsonWriter::endArray() {
  buffer_ += ']';
  --depth_;
  first_ = false;
}

void JsonWriter::field(std::string_view name, std::string_view value) {
  key(name);
  text(value);
  first_ = false;
}

void JsonWriter::field(std::string_view name, int64_t value) {
  key(name);
  buffer_ += std::to_string(value);
  first_ = false;
}

void JsonWriter::field(std::string_view name, uint64_t value) {
  key(name);
  buffer_ += std::to_string(value);
  first_ = false;
}

void JsonWriter::field(std::string_view name, double value) {
  key(name);
  if (std::isfinite(value)) {
    char number[40];
    std::snprintf(number, sizeof number, "%.12g", value);
    buffer_ += number;
  } else {
    buffer_ += "null";
  }
  first_ = false;
}

void JsonWriter::fieldBool(std::string_view name, bool value) {
  key(name);
  buffer_ += value ? "true" : "false";
  first_ = false;
}

void JsonWriter::value(std::string_view s) {
  separator();
  text(s);
}

void JsonWriter::value(int64_t number) {
  separator();
  buffer_ += std::to_string(number);
}

// Texts are 8-bit Latin-1: every byte is written as the character of that code.
void JsonWriter::text(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  buffer_ += '"';
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      buffer_ += '\\';
      buffer_ += char(c);
    } else if (c >= 0x20 && c < 0x7F) {
      buffer_ += char(c);
    } else {
      buffer_ += "\\u00";
      buffer_ += kHex[c >> 4];
      buffer_ += kHex[c & 15];
    }
  }
  buffer_ += '"';
}

void JsonWriter::flush() {
  out_.write(buffer_);
  buffer_.clear();
}

}  // namespace veltrano
