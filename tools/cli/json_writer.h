#pragma once
// A small buffered writer of JSON Lines: one object per line, written to a
// checked output in large pieces. The writes are inline and go straight into
// the buffer, since a decoded recording gives several times its size in JSON.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "checked_output.h"
#include "util/g12_format.h"

namespace veltrano {

namespace json_detail {

constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

// The high bit of each zero byte of the word; bytes above a zero byte may be
// marked as well, the ones below it never.
inline uint64_t zeroBytes(uint64_t x) { return (x - kOnes) & ~x & kHighBits; }

// The high bit of each byte of the word that may need an escape: below 0x20,
// from 0x7F up, a quote or a backslash. Every such byte is marked; a byte above
// a marked one may be marked too. Borrows and carries run upwards only, so the
// marks below a byte do not depend on it.
inline uint64_t escapeMarks(uint64_t word) {
  const uint64_t control = (word - kOnes * 0x20) & ~word & kHighBits;
  const uint64_t high = ((word + kOnes) | word) & kHighBits;
  return control | high | zeroBytes(word ^ (kOnes * '"')) | zeroBytes(word ^ (kOnes * '\\'));
}

inline bool mayNeedEscape(uint64_t word) { return escapeMarks(word) != 0; }

constexpr size_t kNeedsEscape = size_t(-1);

// An integer as text at `out`, returning its end: 0 to 999 (satellite numbers,
// angles, signal levels) by hand, others by std::to_chars; at most 20 characters.
inline char* integerText(char* out, int64_t value) {
  if (uint64_t(value) < 1000) {
    const unsigned v = unsigned(value);
    if (v >= 100) *out++ = char('0' + v / 100);
    if (v >= 10) *out++ = char('0' + v / 10 % 10);
    *out++ = char('0' + v % 10);
    return out;
  }
  return std::to_chars(out, out + 20, value).ptr;
}

// The length of the text in a slot that holds it up to the first NUL, or the
// whole slot without one; kNeedsEscape when it may need an escape. Sixteen
// bytes a step where SSE2 is there, then word by word, the last word filled
// with NULs beyond the slot.
template <size_t N>
size_t plainSlotText(const char (&slot)[N]) {
  size_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= N; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot + i));
    const unsigned zeros = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
    // Below 0x20 or from 0x7F up, compared as signed bytes with the top bit flipped.
    const __m128i flipped = _mm_xor_si128(bytes, _mm_set1_epi8(char(0x80)));
    const __m128i outside = _mm_or_si128(_mm_cmplt_epi8(flipped, _mm_set1_epi8(char(0x20 ^ 0x80))),
                                         _mm_cmpgt_epi8(flipped, _mm_set1_epi8(char(0x7E ^ 0x80))));
    const __m128i quoteOrBackslash =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')));
    const unsigned marks = unsigned(_mm_movemask_epi8(_mm_or_si128(outside, quoteOrBackslash)));
    if (zeros == 0) {
      if (marks != 0) return kNeedsEscape;
      continue;
    }
    const unsigned before = (zeros & (0u - zeros)) - 1;  // the bytes before the first NUL
    if ((marks & before) != 0) return kNeedsEscape;
    return i + size_t(std::countr_zero(zeros));
  }
#endif
  constexpr size_t kWords = (N + 7) / 8;
  uint64_t words[kWords] = {};
  std::memcpy(words, slot + i, N - i);
  for (size_t w = 0; i + 8 * w < N; ++w) {
    const uint64_t zeros = zeroBytes(words[w]);
    const uint64_t marks = escapeMarks(words[w]);
    if (zeros == 0) {
      if (marks != 0) return kNeedsEscape;
      continue;
    }
    const int zeroAt = std::countr_zero(zeros);  // the high bit of the first zero byte
    if ((marks & ((uint64_t(1) << (zeroAt - 7)) - 1)) != 0) return kNeedsEscape;
    return std::min(i + 8 * w + size_t(zeroAt / 8), N);
  }
  return N;
}

// A text that needs no escape, in quotes at `out`; returns the end.
inline char* quotedText(char* out, std::string_view text) {
  out[0] = '"';
  std::memcpy(out + 1, text.data(), text.size());
  out[text.size() + 1] = '"';
  return out + text.size() + 2;
}

// A fixed text at `out`, returning its end.
template <size_t N>
char* literalText(char* out, const char (&text)[N]) {
  std::memcpy(out, text, N - 1);
  return out + N - 1;
}

}  // namespace json_detail

// The name of an object member fixed in the program, checked when the program
// is built to need no escape, so it is copied as it is.
class JsonKey {
 public:
  template <size_t N>
  consteval JsonKey(const char (&name)[N]) : JsonKey(std::string_view(name, N - 1)) {}
  consteval explicit JsonKey(std::string_view name) : name_(name) {
    for (const char c : name_)
      if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') throw "a fixed JSON key has no character to escape";
  }
  std::string_view name() const { return name_; }

 private:
  std::string_view name_;
};

class JsonWriter {
 public:
  explicit JsonWriter(CheckedOutput& out);
  ~JsonWriter() { flush(); }
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void beginObject() {
    if (depth_ > 0) separator();
    put('{');
    ++depth_;
    first_ = true;
  }
  // Closes the object; at depth 0 also ends the line.
  void endObject() {
    put('}');
    --depth_;
    first_ = false;
    if (depth_ == 0) endLine();
  }
  void beginArray(JsonKey name) {
    fixedKey(name);
    openArray();
  }
  void beginArray() {
    separator();
    openArray();
  }
  void endArray() {
    put(']');
    --depth_;
    first_ = false;
  }
  // A member name made while the program runs, escaped where it needs it.
  void key(std::string_view name) {
    separator();
    text(name);
    put(':');
    first_ = true;  // the value that follows needs no comma
  }

  // A member: a text, an integer, or a real (finite ones as "%.12g" writes
  // them, others as null).
  template <typename Value>
  void field(JsonKey name, const Value& value) {
    fixedKey(name);
    write(value);
  }
  // A member whose name is made while the program runs.
  template <typename Name, typename Value>
    requires(!std::is_array_v<Name> && std::is_convertible_v<const Name&, std::string_view>)
  void field(const Name& name, const Value& value) {
    key(name);
    write(value);
  }
  // A member whose text is fixed in the program as well, checked as a key is.
  void fixedField(JsonKey name, JsonKey text) {
    fixedKey(name);
    end_ = json_detail::quotedText(room(text.name().size() + 2), text.name());
    first_ = false;
  }
  void fieldBool(JsonKey name, bool value) {
    fixedKey(name);
    put(value ? std::string_view("true") : std::string_view("false"));
    first_ = false;
  }

  void value(std::string_view s) {  // string element of an array
    separator();
    text(s);
  }
  // String elements of an array from `count` fixed-size slots, each holding
  // its text up to the first NUL, or the whole slot without one. Written
  // through a local pointer, as the satellites are: the fields of the NMEA
  // sentences are most of their JSON.
  template <size_t N>
  void values(const char (*fields)[N], size_t count) {
    constexpr size_t kFieldRoom = N + 3;  // a comma, the quotes and the slot
    static_assert(kFieldRoom <= kPieceRoom);
    size_t j = 0;
    while (j < count) {
      const size_t batch = std::min(count - j, kPieceRoom / kFieldRoom);
      char* out = room(batch * kFieldRoom);
      bool first = first_;
      bool escape = false;
      for (const size_t end = j + batch; j < end; ++j) {
        const size_t length = json_detail::plainSlotText(fields[j]);
        escape = length == json_detail::kNeedsEscape;
        if (escape) break;
        if (!first) *out++ = ',';
        first = false;
        out[0] = '"';
        std::memcpy(out + 1, fields[j], N);
        out[length + 1] = '"';
        out += length + 2;
      }
      end_ = out;
      first_ = first;
      if (escape) {
        separator();
        text(slotText(fields[j], N));
        ++j;
      }
    }
  }
  void value(int64_t number) {  // number element of an array
    separator();
    this->number(number);
  }
  // An array element written in one piece by `write`, which is given the
  // write position with room for `bound` characters and returns the end of
  // what it wrote. The satellite tables of a binary recording are most of its
  // JSON: written through a local pointer, their characters do not make the
  // compiler read the writer's own pointer again after each store.
  template <typename Write>
  void element(size_t bound, Write write) {
    separator();
    end_ = write(room(bound));
  }
  // Hands the buffered lines to the output.
  void flush();

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  // Room beyond kFlushAt for the piece being written; a longer text is written
  // in pieces, each of which fits escaped.
  static constexpr size_t kPieceRoom = 8192;
  static constexpr size_t kTextPiece = kPieceRoom / 8;
  static constexpr size_t kNumberRoom = 24;

  // The write position, with room for `length` more characters.
  char* room(size_t length) {
    if (size_t(buffer_.get() + kFlushAt + kPieceRoom - end_) < length) flush();
    return end_;
  }
  void put(char c) {
    *room(1) = c;
    ++end_;
  }
  void put(std::string_view s) {
    std::memcpy(room(s.size()), s.data(), s.size());
    end_ += s.size();
  }
  void separator() {
    if (!first_) put(',');
    first_ = false;
  }
  void fixedKey(JsonKey name) {
    separator();
    char* out = json_detail::quotedText(room(name.name().size() + 3), name.name());
    *out++ = ':';
    end_ = out;
    first_ = true;
  }
  void openArray() {
    put('[');
    ++depth_;
    first_ = true;
  }
  void write(std::string_view value) {
    text(value);
    first_ = false;
  }
  void write(int64_t value) {
    number(value);
    first_ = false;
  }
  void write(uint64_t value) {
    number(value);
    first_ = false;
  }
  void write(double value);
  template <typename Integer>
  void number(Integer value) {
    char* out = room(kNumberRoom);
    end_ = std::to_chars(out, out + kNumberRoom, value).ptr;
  }
  static std::string_view slotText(const char* slot, size_t size) {
    const void* nul = std::memchr(slot, '\0', size);
    return {slot, nul ? size_t(static_cast<const char*>(nul) - slot) : size};
  }
  void text(std::string_view s);
  void escapedText(std::string_view s);
  void endLine();

  CheckedOutput& out_;
  std::unique_ptr<char[]> buffer_;
  char* end_;
  int depth_ = 0;
  bool first_ = true;
};

}  // namespace veltrano
