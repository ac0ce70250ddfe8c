// Calls any distribution function of the library by name with its arguments
// after which in order (p and q first), for tests that run tables of cases.
#pragma once

#include <string>
#include <vector>

#include "numerics/cdfbet.h"
#include "numerics/cdfbin.h"
#include "numerics/cdfchi.h"
#include "numerics/cdfchn.h"
#include "numerics/cdff.h"
#include "numerics/cdffnc.h"
#include "numerics/cdfgam.h"
#include "numerics/cdfnbn.h"
#include "numerics/cdfnor.h"
#include "numerics/cdfpoi.h"
#include "numerics/cdft.h"

enum class Routine { chi, gam, poi, nor, bet, bin, nbn, f, t, chn, fnc };

inline const char* name(Routine routine) {
    static const char* const names[] = {"cdfchi", "cdfgam", "cdfpoi", "cdfnor", "cdfbet", "cdfbin",
                                        "cdfnbn", "cdff",   "cdft",   "cdfchn", "cdffnc"};
    return names[static_cast<int>(routine)];
}

// The routine of a name; false when there is none.
inline bool routine_named(const std::string& text, Routine* routine) {
    for (int i = 0; i <= static_cast<int>(Routine::fnc); ++i) {
        if (text == name(static_cast<Routine>(i))) {
            *routine = static_cast<Routine>(i);
            return true;
        }
    }
    return false;
}

struct Result {
    int status;
    double bound;
    // The arguments after which, as the routine left them.
    std::vector<double> args;
};

inline Result call(Routine routine, int which, std::vector<double> args) {
    int status = -99;
    double bound = -99.0;
    double* v = args.data();
    switch (routine) {
        case Routine::chi:
            cdfchi(&which, v, v + 1, v + 2, v + 3, &status, &bound);
            break;
        case Routine::gam:
            cdfgam(&which, v, v + 1, v + 2, v + 3, v + 4, &status, &bound);
            break;
        case Routine::poi:
            cdfpoi(&which, v, v + 1, v + 2, v + 3, &status, &bound);
            break;
        case Routine::nor:
            cdfnor(&which, v, v + 1, v + 2, v + 3, v + 4, &status, &bound);
            break;
        case Routine::bet:
            cdfbet(&which, v, v + 1, v + 2, v + 3, v + 4, v + 5, &status, &bound);
            break;
        case Routine::bin:
            cdfbin(&which, v, v + 1, v + 2, v + 3, v + 4, v + 5, &status, &bound);
            break;
        case Routine::nbn:
            cdfnbn(&which, v, v + 1, v + 2, v + 3, v + 4, v + 5, &status, &bound);
            break;
        case Routine::f:
            cdff(&which, v, v + 1, v + 2, v + 3, v + 4, &status, &bound);
            break;
        case Routine::t:
            cdft(&which, v, v + 1, v + 2, v + 3, &status, &bound);
            break;
        case Routine::chn:
            cdfchn(&which, v, v + 1, v + 2, v + 3, v + 4, &status, &bound);
            break;
        case Routine::fnc:
            cdffnc(&which, v, v + 1, v + 2, v + 3, v + 4, v + 5, &status, &bound);
            break;
    }
    return {status, bound, args};
}
