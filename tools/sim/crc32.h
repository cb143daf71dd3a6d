#pragma once
// CRC-32 (the zlib polynomial, reflected, initial and final value all ones) of
// the bytes sent in flood mode, kept as a running value.
#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrano::sim {

namespace detail {
constexpr std::array<uint32_t, 256> makeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
inline constexpr std::array<uint32_t, 256> kCrc32Table = makeCrc32Table();
}  // namespace detail

// Continues `crc` (0 to start) over n bytes.
constexpr uint32_t crc32Update(uint32_t crc, const uint8_t* bytes, size_t n) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = detail::kCrc32Table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

}  // namespace veltrano::sim
