// The association report of a run: logistic-regression tests of each usable
// disease SNP and of all of them together, written into the transcript.
#pragma once

#include <ostream>

class Vorlanerator;

namespace vorlan2 {

void write_association_report(const Vorlanerator& simulator, std::ostream& buffer);

}  // namespace vorlan2
