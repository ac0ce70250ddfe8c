// Genetic position of a base-pair position by linear interpolation over the
// map points, the first value below the map and the last above it.
#pragma once

#include <vector>

namespace vorlan2 {

class GeneticMapInterpolator {
public:
    // Both vectors must be of equal, non-zero length and outlive this object.
    GeneticMapInterpolator(const std::vector<double>& positions, const std::vector<double>& values);

    double interpolate_genetic_position(double position) const;

private:
    const std::vector<double>& positions_;
    const std::vector<double>& values_;
    bool non_decreasing_;
};

}  // namespace vorlan2
