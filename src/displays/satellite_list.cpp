#include "displays/satellite_list.h"

#include <cstdio>

namespace veltrano {

namespace {
// "- " and 63 three-digit numbers with their blanks: the longest list of a row.
constexpr size_t kUsualRoom = 2 + 63 * 4;
}  // namespace

SatelliteList::SatelliteList() { text_.reserve(kUsualRoom); }

void SatelliteList::startUsed() {
  text_.assign("- ");
  count_ = 0;
}

void SatelliteList::startRejected() {
  text_.clear();
  count_ = 0;
}

// "%02d " written out by hand: a row is rebuilt for every solution. The
// characters go straight into the text: copied from a small buffer, they were
// read back before their single-byte stores had landed.
void SatelliteList::append(int number) {
  ++count_;
  if (number < 0 || number >= 1000) {
    char piece[16];
    const int n = std::snprintf(piece, sizeof piece, "%02d ", number);
    text_.append(piece, size_t(n));
    return;
  }
  const size_t at = text_.size();
  text_.resize(at + (number >= 100 ? 4 : 3));
  char* out = text_.data() + at;
  if (number >= 100) *out++ = char('0' + number / 100);
  out[0] = char('0' + number / 10 % 10);
  out[1] = char('0' + number % 10);
  out[2] = ' ';
}

QString SatelliteList::shown() const {
  if (count_ == 0) return {};
  return QString::fromLatin1(text_.data(), qsizetype(text_.size()));
}

}  // namespace veltrano
