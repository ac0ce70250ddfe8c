// Test helper: a fatal-error handler that throws instead of ending the process.
#include "numerics/support/fatal_capture.h"

using namespace vorlan2;

namespace {

void throw_fatal(const std::string& text) { throw NumericsFatal(text); }

}  // namespace

FatalCapture::FatalCapture() : previous_(set_numerics_fatal_handler(throw_fatal)) {}

FatalCapture::~FatalCapture() { set_numerics_fatal_handler(previous_); }
