// Turns any exception into one line of text; the matrix library's
// exceptions do not derive from std::exception and keep their text in a
// static buffer.
#include "simulator/dependency_errors.h"

#include <new>
#include <stdexcept>

#include <myexcept.h>

namespace vorlan2 {

namespace {

std::string squeeze_lines(const char* text) {
    std::string result;
    bool gap = false;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c == '\n' || *c == '\r') {
            gap = !result.empty();
            continue;
        }
        if (gap) result += ' ';
        gap = false;
        result += *c;
    }
    return result;
}

}  // namespace

std::string describe_current_exception() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "Error: not enough memory to complete the run.";
    } catch (const std::exception& e) {
        return std::string("Error: ") + e.what();
    } catch (const RBD_COMMON::BaseException&) {
        return "Error: " + squeeze_lines(RBD_COMMON::BaseException::what());
    } catch (...) {
        return "Error: the run failed for an unknown reason.";
    }
}

}  // namespace vorlan2
