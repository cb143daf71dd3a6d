#include "util/g12_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace veltrano {

namespace {

using Wide = unsigned __int128;

constexpr int kDigits = 12;
constexpr uint64_t kLowest = 100000000000;    // 10^11, the smallest twelve-digit number
constexpr uint64_t kTooMany = 1000000000000;  // 10^12
constexpr int kMaxScale = 22;                 // 10^22 times a 53-bit mantissa stays below 2^127

constexpr std::array<Wide, kMaxScale + 1> makePowersOfTen() {
  std::array<Wide, kMaxScale + 1> powers{};
  Wide p = 1;
  for (auto& power : powers) {
    power = p;
    p *= 10;
  }
  return powers;
}
constexpr auto kPowersOfTen = makePowersOfTen();

// "00" to "99".
constexpr std::array<char, 200> makeDigitPairs() {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = char('0' + i / 10);
    pairs[2 * i + 1] = char('0' + i % 10);
  }
  return pairs;
}
constexpr auto kDigitPairs = makeDigitPairs();

// The six digits of a number below 10^6, with leading zeros.
void writeSixDigits(char* out, uint32_t value) {
  const uint32_t high = value / 10000, rest = value % 10000;
  std::memcpy(out, &kDigitPairs[2 * high], 2);
  std::memcpy(out + 2, &kDigitPairs[2 * (rest / 100)], 2);
  std::memcpy(out + 4, &kDigitPairs[2 * (rest % 100)], 2);
}

// The twelve digits of `value` rounded to nearest, ties to even (as printf does
// in the default rounding mode), and the decimal exponent of the first digit.
// False when the value lies outside the range this exact integer method covers.
bool roundedDigits(double value, uint64_t& digits, int& exponent) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const int biased = int(bits >> 52 & 0x7FF);
  if (biased == 0) return false;  // subnormal
  const uint64_t mantissa = (bits & ((uint64_t(1) << 52) - 1)) | uint64_t(1) << 52;
  const int shift = 1075 - biased;  // value = mantissa / 2^shift
  if (shift < 1 || shift > 127) return false;
  // floor(log10(2) * binary exponent): the decimal exponent or one below it.
  int decimal = ((biased - 1023) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int scale = kDigits - 1 - decimal;
    if (scale < 0 || scale > kMaxScale) return false;
    const Wide scaled = Wide(mantissa) * kPowersOfTen[scale];
    uint64_t whole = uint64_t(scaled >> shift);
    if (whole >= kTooMany) {
      ++decimal;
      continue;
    }
    if (whole < kLowest) {
      --decimal;
      continue;
    }
    const Wide rest = scaled & ((Wide(1) << shift) - 1);
    const Wide half = Wide(1) << (shift - 1);
    if (rest > half || (rest == half && (whole & 1))) ++whole;
    if (whole == kTooMany) {
      whole = kLowest;
      ++decimal;
    }
    digits = whole;
    exponent = decimal;
    return true;
  }
  return false;
}

}  // namespace

char* formatG12(char* out, double value) {
  if (value == 0) {
    if (std::signbit(value)) *out++ = '-';
    *out++ = '0';
    return out;
  }
  uint64_t whole;
  int exponent;
  if (!roundedDigits(std::abs(value), whole, exponent))
    return std::to_chars(out, out + kG12Room, value, std::chars_format::general, kDigits).ptr;

  char digits[kDigits];
  writeSixDigits(digits, uint32_t(whole / 1000000));
  writeSixDigits(digits + 6, uint32_t(whole % 1000000));
  int kept = kDigits;
  while (kept > 1 && digits[kept - 1] == '0') --kept;

  if (value < 0) *out++ = '-';
  if (exponent < -4 || exponent >= kDigits) {
    *out++ = digits[0];
    if (kept > 1) {
      *out++ = '.';
      std::memcpy(out, digits + 1, size_t(kept - 1));
      out += kept - 1;
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100) *out++ = char('0' + magnitude / 100);
    *out++ = char('0' + magnitude / 10 % 10);
    *out++ = char('0' + magnitude % 10);
    return out;
  }
  if (exponent >= 0) {
    std::memcpy(out, digits, size_t(exponent + 1));
    out += exponent + 1;
    if (kept > exponent + 1) {
      *out++ = '.';
      std::memcpy(out, digits + exponent + 1, size_t(kept - exponent - 1));
      out += kept - exponent - 1;
    }
    return out;
  }
  *out++ = '0';
  *out++ = '.';
  for (int i = -1; i > exponent; --i) *out++ = '0';
  std::memcpy(out, digits, size_t(kept));
  return out + kept;
}

}  // namespace veltrano
