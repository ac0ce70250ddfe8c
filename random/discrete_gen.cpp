// The alias table of DiscreteGen and its draw; log-normal draws with
// parameters given at each draw.
#include "random/discrete_gen.h"

#include <cmath>

#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

DiscreteGen::DiscreteGen(int n, double* prob) {
    Gen(n, prob);
    mean_value = 0.0;
    for (int i = 0; i < n; ++i) mean_value += i * prob[i];
    var_value = 0.0;
    for (int i = 0; i < n; ++i) var_value += (i - mean_value) * (i - mean_value) * prob[i];
}

DiscreteGen::DiscreteGen(int n, double* prob, double* val) {
    Gen(n, prob);
    values = allocate_array<double>(n);
    for (int i = 0; i < n; ++i) values[i] = val[i];
    mean_value = 0.0;
    for (int i = 0; i < n; ++i) mean_value += val[i] * prob[i];
    var_value = 0.0;
    for (int i = 0; i < n; ++i) var_value += (val[i] - mean_value) * (val[i] - mean_value) * prob[i];
}

// Each pass gives the unassigned cell with the least remaining mass its
// alias, the cell with the most, which makes up its share 1/n.
void DiscreteGen::Gen(int n_outcomes, double* prob) {
    // With no outcomes a draw would read a cell that does not exist.
    if (n_outcomes <= 0) throw_logic_error("Ranvar: illegal parameters");
    n = n_outcomes;
    alias_prob = allocate_array<double>(n);
    alias = allocate_array<int>(n);
    for (int i = 0; i < n; ++i) {
        alias[i] = -1;
        alias_prob[i] = 0.0;  // mass given to others while the cell is unassigned
    }
    const double share = 1.0 / n;
    for (int pass = 0; pass < n; ++pass) {
        int big = -1, small = -1;
        double largest = -1.0, smallest = 1.0, v_small = 0.0;
        for (int j = 0; j < n; ++j) {
            if (alias[j] >= 0) continue;
            const double v = prob[j] - alias_prob[j];
            if (v >= largest) {
                largest = v;
                big = j;
            }
            if (v <= smallest) {
                smallest = v;
                small = j;
                v_small = v;
            }
        }
        if (big < 0 || small < 0) throw_runtime_error("Ranvar: method fails");
        alias[small] = big;
        const double t = share - v_small;
        alias_prob[big] += t;
        alias_prob[small] = n * t;
        if (alias_prob[small] > 1.00001 || alias_prob[small] < -0.00001) {
            throw_runtime_error("Ranvar: probs don't add to 1 (a)");
        }
        if (pass == n - 1 && alias_prob[small] > 0.00001) {
            throw_runtime_error("Ranvar: probs don't add to 1 (b)");
        }
    }
}

double DiscreteGen::Next() {
    int i = static_cast<int>(Random::RNG->Next() * n);
    // A uniform of exactly 1 (or one rounding to n) takes the last cell.
    if (i >= n) i = n - 1;
    if (Random::RNG->Next() < alias_prob[i]) i = alias[i];
    return values ? values[i] : i;
}

const char* DiscreteGen::Name() { return "DiscreteGen"; }

ExtReal DiscreteGen::Mean() const { return mean_value; }

ExtReal DiscreteGen::Variance() const { return var_value; }

double VariLogNormal::Next(double mean, double sd) {
    const double ratio = sd / mean;
    const double s2 = std::log(1.0 + ratio * ratio);
    const double z = normal.SymGen::Next();
    return mean * std::exp(-0.5 * s2 + z * std::sqrt(s2));
}
