// Partial Fisher-Yates shuffle over a work array of the candidate values, and
// the Shell sort used for combinations.
#include "random/permutations.h"

#include <climits>

#include "random/integer_conversion.h"
#include "random/random.h"
#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

void RandomPermutation::Next(int N, int M, int* out, int start) {
    if (N < M) throw_logic_error("Ranvar: N < M in RandomPermutation");
    // Nothing to draw: no work array either (N may be negative here).
    if (M <= 0) return;
    if (N > 0 && start > INT_MAX - (N - 1)) {
        throw_logic_error("Ranvar: values out of range in RandomPermutation");
    }
    std::unique_ptr<int[]> w = allocate_array<int>(N);
    for (int i = 0; i < N; ++i) w[i] = start + i;
    // The values not yet chosen always occupy w[i ... N - 1].
    for (int i = 0; i < M; ++i) {
        double u = Random::RNG->Next();
        int j = i + truncate_to_int((N - i) * u, 0, N - i - 1);
        out[i] = w[j];
        w[j] = w[i];
    }
}

void RandomCombination::Next(int N, int M, int* out, int start) {
    RandomPermutation::Next(N, M, out, start);
    SortAscending(M, out);
}

void RandomCombination::SortAscending(int n, int* a) { ShellSortAscending(a, n); }

void ShellSortAscending(int* a, int n) {
    int h = 1;
    while (h <= n / 9) h = 3 * h + 1;
    for (; h > 0; h /= 3) {
        for (int i = h; i < n; ++i) {
            int v = a[i];
            int j = i;
            while (j >= h && a[j - h] > v) {
                a[j] = a[j - h];
                j -= h;
            }
            a[j] = v;
        }
    }
}
