// The two draws of the copying model that are made most often, each with an
// exact fast path: it answers only where it provably agrees with the written
// computation, which decides every other case.
#pragma once

// The index chosen by u among K equal weights 1/K: the weights subtracted
// from u in index order until the rest is not positive (K - 1 when it stays
// positive).
int uniform_candidate_by_subtraction(double u, int K);
// The same index, mostly without the scan.
int uniform_candidate(double u, int K);

// Whether a draw u places a switch across a genetic gap with K candidates:
// u > exp(-gap / K).
bool switches_between(double u, double gap, double K);
