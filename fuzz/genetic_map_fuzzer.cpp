// Fuzz target: the genetic-map reader, and the map interpolation checked
// against the plain linear scan over the map points.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "fuzz_support.h"
#include "simulator/genetic_map.h"
#include "simulator/panel.h"

using namespace vorlan2;

namespace {

double scanned_genetic_position(const std::vector<double>& pos, const std::vector<double>& val, double p) {
    const std::size_t n = pos.size();
    if (p < pos[0]) return val[0];
    std::size_t i = 0;
    while (i + 1 < n && pos[i + 1] <= p) ++i;
    if (i == n - 1) return val[n - 1];
    return (p - pos[i]) / (pos[i + 1] - pos[i]) * (val[i + 1] - val[i]) + val[i];
}

bool same_value(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

void check_interpolation(const Data& data) {
    const std::vector<double>& pos = data.map_positions;
    const GeneticMapInterpolator map(pos, data.map_values);
    std::vector<double> probes;
    for (std::size_t k = 0; k < pos.size() && k < 64; ++k) {
        probes.insert(probes.end(), {pos[k], pos[k] - 1.0, pos[k] + 1.0, std::nextafter(pos[k], -INFINITY)});
        if (k + 1 < pos.size()) probes.push_back(pos[k] / 2.0 + pos[k + 1] / 2.0);
    }
    for (const double p : probes) {
        // Panel positions are ints: only those reach the interpolation in a run.
        if (!(p >= -2147483648.0 && p <= 2147483647.0)) continue;
        const double q = std::floor(p);
        if (!same_value(map.interpolate_genetic_position(q), scanned_genetic_position(pos, data.map_values, q)))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Data panel;
    panel.params.genetic_map_file =
        write_scratch_file("map.txt", std::string(reinterpret_cast<const char*>(data), size));
    panel.params.summary_file = "/dev/null";
    try {
        panel.read_genetic_map();
    } catch (const badfilename&) {
        return 0;
    }
    if (panel.map_positions.empty() || panel.map_positions.size() != panel.map_values.size()) std::abort();
    check_interpolation(panel);
    return 0;
}
