// Checked conversion of a draw (a double) to an int: a value that is not a
// number, or whose integer part lies outside the wanted range, raises instead.
#pragma once

#include <climits>

namespace vorlan2 {

// x truncated toward zero, whose result must lie in [low, high]; raises
// Runtime_error "Cannot convert to integer " otherwise.
int truncate_to_int(double x, int low = INT_MIN, int high = INT_MAX);

}  // namespace vorlan2
