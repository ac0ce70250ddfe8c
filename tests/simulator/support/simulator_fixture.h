// Test helpers for the simulator in-process: a small panel built in memory and
// the parameters of a run that writes into a scratch directory.
#pragma once

#include <filesystem>
#include <vector>

#include "simulator/panel.h"
#include "simulator/parameters.h"

// One row of alleles per SNP (all rows of one length); SNP j sits at base-pair
// position positions[j] (default 1000 * (j + 1)) and genetic position genetic[j].
Data make_panel(const std::vector<std::vector<int>>& alleles, const std::vector<double>& genetic,
                std::vector<int> positions = {});

// Output "<directory>/sim" (its summary file beside it), the fixed seed, and
// the given numbers of individuals and theta.
VorlanParameters make_parameters(const std::filesystem::path& directory, int ncontrols, int ncases, double theta);
