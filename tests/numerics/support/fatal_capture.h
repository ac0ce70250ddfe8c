// Test helper: turns the numerics' process-ending error path into an
// exception that carries the message, for the lifetime of one object.
#pragma once

#include <stdexcept>
#include <string>

#include "numerics/fatal_error.h"

struct NumericsFatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class FatalCapture {
public:
    FatalCapture();
    ~FatalCapture();
    FatalCapture(const FatalCapture&) = delete;
    FatalCapture& operator=(const FatalCapture&) = delete;

private:
    vorlan2::numerics_fatal_handler previous_;
};
