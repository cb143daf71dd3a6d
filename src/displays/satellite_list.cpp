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

// "%02d " written out by hand: a row is rebuilt for every solution.
void SatelliteList::append(int number) {
  char piece[16];
  int n = 0;
  if (number >= 0 && number < 1000) {
    if (number >= 100) piece[n++] = char('0' + number / 100);
    piece[n++] = char('0' + number / 10 % 10);
    piece[n++] = char('0' + number % 10);
    piece[n++] = ' ';
  } else {
    n = std::snprintf(piece, sizeof piece, "%02d ", number);
  }
  text_.append(piece, size_t(n));
  ++count_;
}

QString SatelliteList::shown() const {
  if (count_ == 0) return {};
  return QString::fromLatin1(text_.data(), qsizetype(text_.size()));
}

}  // namespace veltrano
