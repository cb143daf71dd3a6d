#include "json_writer.h"

#include <array>
#include <cmath>

namespace veltrano {

namespace {

// How each byte goes into a JSON text: as it is, after a backslash, or as \u00hh.
enum class Escape : uint8_t { None, Backslash, Unicode };

constexpr std::array<Escape, 256> makeEscapes() {
  std::array<Escape, 256> escapes{};
  for (int c = 0; c < 256; ++c) escapes[c] = (c >= 0x20 && c < 0x7F) ? Escape::None : Escape::Unicode;
  escapes['"'] = escapes['\\'] = Escape::Backslash;
  return escapes;
}
constexpr auto kEscapes = makeEscapes();

using json_detail::mayNeedEscape;

// Whether no byte of the text needs an escape, or perhaps one does.
bool surelyPlain(std::string_view s) {
  size_t at = 0;
  for (; at + 8 <= s.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + at, 8);
    if (mayNeedEscape(word)) return false;
  }
  uint64_t tail = json_detail::kOnes * 'a';  // a plain filler behind the last bytes
  std::memcpy(&tail, s.data() + at, s.size() - at);
  return !mayNeedEscape(tail);
}

}  // namespace

JsonWriter::JsonWriter(CheckedOutput& out)
    : out_(out), buffer_(new char[kFlushAt + kPieceRoom]), end_(buffer_.get()) {}

void JsonWriter::write(double value) {
  if (std::isfinite(value))
    end_ = formatG12(room(kG12Room), value);
  else
    put("null");
  first_ = false;
}

void JsonWriter::endLine() {
  put('\n');
  first_ = true;
  if (size_t(end_ - buffer_.get()) >= kFlushAt) flush();
}

void JsonWriter::text(std::string_view s) {
  if (s.size() <= kTextPiece && surelyPlain(s)) {
    end_ = json_detail::quotedText(room(s.size() + 2), s);
    return;
  }
  put('"');
  escapedText(s);
  put('"');
}

// Texts are 8-bit Latin-1: every byte is written as the character of that code.
void JsonWriter::escapedText(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  while (!s.empty()) {
    const std::string_view piece = s.substr(0, kTextPiece);
    s.remove_prefix(piece.size());
    char* out = room(piece.size() * 6);
    for (const char ch : piece) {
      const auto c = static_cast<unsigned char>(ch);
      switch (kEscapes[c]) {
        case Escape::None:
          *out++ = ch;
          break;
        case Escape::Backslash:
          *out++ = '\\';
          *out++ = ch;
          break;
        case Escape::Unicode:
          std::memcpy(out, "\\u00", 4);
          out[4] = kHex[c >> 4];
          out[5] = kHex[c & 15];
          out += 6;
          break;
      }
    }
    end_ = out;
  }
}

void JsonWriter::flush() {
  out_.write(std::string_view(buffer_.get(), size_t(end_ - buffer_.get())));
  end_ = buffer_.get();
}

}  // namespace veltrano
