// Map interpolation: a binary search on a sorted map, the linear scan of the
// map otherwise; both pick the same map interval.
#include "simulator/genetic_map.h"

#include <algorithm>

namespace vorlan2 {

GeneticMapInterpolator::GeneticMapInterpolator(const std::vector<double>& positions, const std::vector<double>& values)
    : positions_(positions), values_(values), non_decreasing_(std::is_sorted(positions.begin(), positions.end())) {}

double GeneticMapInterpolator::interpolate_genetic_position(double p) const {
    const std::vector<double>& pos = positions_;
    const std::vector<double>& val = values_;
    const std::size_t n = pos.size();
    if (p < pos[0]) return val[0];

    // i: the first index whose successor lies beyond p, or the last index.
    std::size_t i = 0;
    if (non_decreasing_) {
        i = static_cast<std::size_t>(std::upper_bound(pos.begin(), pos.end(), p) - pos.begin()) - 1;
    } else {
        while (i + 1 < n && pos[i + 1] <= p) ++i;
    }
    if (i == n - 1) return val[n - 1];
    return (p - pos[i]) / (pos[i + 1] - pos[i]) * (val[i + 1] - val[i]) + val[i];
}

}  // namespace vorlan2
