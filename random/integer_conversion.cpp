// Checked conversion of a draw to an int.
#include "random/integer_conversion.h"

#include "random/ranvar_error.h"

namespace vorlan2 {

int truncate_to_int(double x, int low, int high) {
    // Truncation maps exactly the open interval (low - 1, high + 1) into
    // [low, high]; the negated test also refuses NaN.
    if (!(x > low - 1.0 && x < high + 1.0)) throw_runtime_error("Cannot convert to integer ");
    return static_cast<int>(x);
}

}  // namespace vorlan2
