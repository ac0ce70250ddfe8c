// Separation of cases from controls decided by a small linear programme over
// the distinct genotype patterns, in exact integer arithmetic.
//
// Write a_r for the signed rows: (1, genotypes) of each distinct pattern,
// positive when a case has it and negative when a control has it (a pattern
// of both groups gives both rows). The data are separated when some b has
// a_r · b >= 0 for every r, strictly for one. By Stiemke's theorem no such b
// exists exactly when some weights, all positive, combine the rows to 0;
// writing the weights as 1 + y_r, when some y >= 0 solves
// sum_r y_r a_r = -sum_r a_r: a feasibility problem of snps + 1 equations.
#include "association/separation.h"

#include <algorithm>
#include <array>
#include <numeric>

#include <boost/multiprecision/cpp_int.hpp>

#include "common/invariant.h"

namespace single_snp_test {

namespace {

using Integer = boost::multiprecision::cpp_int;

// The individuals in the order of their genotype rows: a stable counting
// sort per SNP, the last SNP first, so that equal rows end up side by side
// in O(individuals * snps).
std::vector<std::size_t> genotype_order(const std::vector<std::uint8_t>& genotypes, std::size_t snps, std::size_t n) {
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::size_t> sorted(n);
    for (std::size_t k = snps; k-- > 0;) {
        std::array<std::size_t, 4> next{};  // where the next individual of each genotype goes, after counting
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t g = genotypes[i * snps + k];
            VORLAN2_CHECK(g <= 2);
            ++next[g + 1];
        }
        std::partial_sum(next.begin(), next.end(), next.begin());
        for (const std::size_t i : order) sorted[next[genotypes[i * snps + k]]++] = i;
        order.swap(sorted);
    }
    return order;
}

// The signed rows, flat, snps + 1 entries a row.
std::vector<int> signed_pattern_rows(const std::vector<std::uint8_t>& genotypes, std::size_t snps,
                                     const std::vector<int>& phenotypes) {
    const std::size_t n = phenotypes.size();
    const auto row = [&](std::size_t i) { return genotypes.begin() + static_cast<std::ptrdiff_t>(i * snps); };
    const std::vector<std::size_t> order = genotype_order(genotypes, snps, n);
    std::vector<int> rows;
    for (std::size_t first = 0; first < n;) {
        const auto pattern = row(order[first]);
        bool in_cases = false;
        bool in_controls = false;
        std::size_t next = first;
        for (; next < n && std::equal(pattern, pattern + static_cast<std::ptrdiff_t>(snps), row(order[next])); ++next)
            (phenotypes[order[next]] == 1 ? in_cases : in_controls) = true;
        for (const int sign : {1, -1}) {
            if (!(sign == 1 ? in_cases : in_controls)) continue;
            rows.push_back(sign);
            for (std::size_t k = 0; k < snps; ++k) rows.push_back(sign * pattern[static_cast<std::ptrdiff_t>(k)]);
        }
        first = next;
    }
    return rows;
}

// Whether some y >= 0 solves sum_r y_r a_r = target, by the first phase of
// the revised simplex method with Bland's rule, which cannot cycle. Each
// equation is turned so that its right-hand side is not negative and gets
// an artificial variable; a solution exists when the artificial variables
// can all be brought to 0. Columns: the rows a_r, then the artificial
// variables. The arithmetic stays in integers: the inverse of the basis
// matrix and the basic values are held multiplied by the magnitude of the
// basis determinant, which each pivot divides out exactly.
bool nonnegative_combination_exists(const std::vector<int>& rows, std::size_t d, const std::vector<long long>& target) {
    const std::size_t m = rows.size() / d;
    std::vector<int> turn(d);
    Integer determinant = 1;              // magnitude of the basis determinant
    std::vector<Integer> value(d);        // of the basic variables, times the determinant
    std::vector<std::size_t> basis(d);    // the column basic in each equation
    std::vector<Integer> inverse(d * d);  // of the basis matrix, times the determinant, row-major
    for (std::size_t j = 0; j < d; ++j) {
        turn[j] = target[j] < 0 ? -1 : 1;
        value[j] = turn[j] * target[j];
        basis[j] = m + j;
        inverse[j * d + j] = 1;
    }
    const auto column = [&](std::size_t q, std::size_t l) -> int {
        return q < m ? turn[l] * rows[q * d + l] : static_cast<int>(q - m == l);
    };
    std::vector<Integer> price(d);
    std::vector<Integer> direction(d);
    for (;;) {
        Integer infeasibility = 0;
        for (std::size_t i = 0; i < d; ++i)
            if (basis[i] >= m) infeasibility += value[i];
        if (infeasibility == 0) return true;

        // Prices of the equations (times the determinant), the artificial
        // variables costing 1: a column improves when its reduced cost,
        // cost - price · column, is negative; the first such enters.
        for (std::size_t l = 0; l < d; ++l) {
            price[l] = 0;
            for (std::size_t i = 0; i < d; ++i)
                if (basis[i] >= m) price[l] += inverse[i * d + l];
        }
        std::size_t entering = m + d;
        for (std::size_t q = 0; q < m + d && entering == m + d; ++q) {
            Integer gain = 0;
            for (std::size_t l = 0; l < d; ++l) gain += price[l] * column(q, l);
            if (gain > (q < m ? Integer(0) : determinant)) entering = q;
        }
        if (entering == m + d) return false;

        for (std::size_t i = 0; i < d; ++i) {
            direction[i] = 0;
            for (std::size_t l = 0; l < d; ++l) direction[i] += inverse[i * d + l] * column(entering, l);
        }
        // Ratio test: the smallest value / direction over positive
        // directions, ties to the smallest basic column.
        std::size_t leaving = d;
        for (std::size_t i = 0; i < d; ++i) {
            if (direction[i] <= 0) continue;
            if (leaving == d) {
                leaving = i;
                continue;
            }
            const Integer difference = value[i] * direction[leaving] - value[leaving] * direction[i];
            if (difference < 0 || (difference == 0 && basis[i] < basis[leaving])) leaving = i;
        }
        // The infeasibility is bounded below by 0, so an improving column
        // always meets a bound.
        VORLAN2_CHECK(leaving < d);

        const Integer pivot = direction[leaving];
        for (std::size_t i = 0; i < d; ++i) {
            if (i == leaving) continue;
            for (std::size_t l = 0; l < d; ++l)
                inverse[i * d + l] = (pivot * inverse[i * d + l] - direction[i] * inverse[leaving * d + l]) /
                                     determinant;
            value[i] = (pivot * value[i] - direction[i] * value[leaving]) / determinant;
        }
        determinant = pivot;
        basis[leaving] = entering;
    }
}

}  // namespace

bool separates_phenotypes(const std::vector<std::uint8_t>& genotypes, std::size_t snps,
                          const std::vector<int>& phenotypes) {
    VORLAN2_CHECK(genotypes.size() == phenotypes.size() * snps);
    const std::size_t d = snps + 1;
    const std::vector<int> rows = signed_pattern_rows(genotypes, snps, phenotypes);
    std::vector<long long> target(d, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) target[r % d] -= rows[r];
    return !nonnegative_combination_exists(rows, d, target);
}

}  // namespace single_snp_test
