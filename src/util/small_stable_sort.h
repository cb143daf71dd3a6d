#pragma once
// A stable sort for the few dozen entries of a satellite table: insertion in
// place, without the buffer std::stable_sort allocates on every call.
#include <iterator>
#include <utility>

namespace veltrano {

template <typename Iterator, typename Less>
void smallStableSort(Iterator first, Iterator last, Less less) {
  for (Iterator i = first; i != last; ++i) {
    auto value = std::move(*i);
    Iterator j = i;
    // Only a strictly greater entry moves up: equal ones keep their order.
    for (Iterator before = j; j != first && less(value, *--before); j = before) *j = std::move(*before);
    *j = std::move(value);
  }
}

}  // namespace veltrano
