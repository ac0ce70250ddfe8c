// A running total of many non-negative terms, total = total + w[k] for each
// term in turn, reached with the same result in far fewer steps: within one
// binade of the total every addition rounds to a whole number of its units.
#pragma once

#include <cstddef>

namespace vorlan2 {

// The total after adding w[0], w[1], ... w[n - 1] to `total` one at a time,
// each addition rounded to nearest: bit for bit what the loop
// `for (k = 0; k < n; ++k) total = total + w[k];` gives, for terms that are
// not negative.
double add_in_turn(double total, const double* w, std::size_t n);

}  // namespace vorlan2
