// Random partial permutations and sorted random combinations of consecutive
// integers, and the Shell sort that orders a combination.
#pragma once

class RandomPermutation {
public:
    // Writes M distinct values of start ... start + N - 1 to out[0 ... M - 1] in
    // random order, one uniform draw per value; M <= N. M <= 0 draws and writes
    // nothing.
    void Next(int N, int M, int* out, int start);
};

class RandomCombination : public RandomPermutation {
public:
    // As the permutation draw, with the M values sorted ascending.
    void Next(int N, int M, int* out, int start);
    static void SortAscending(int n, int* a);
};

// Sorts a[0 ... n - 1] ascending in place (Shell sort, gaps 1, 4, 13, 40, ...).
void ShellSortAscending(int* a, int n);
