// Death-test helper for the numerics routines that end the process: matches the whole of
// what the child wrote to standard error, not a regular expression.
#pragma once

#include <gtest/gtest.h>

#include <string>

inline testing::Matcher<const std::string&> exact_stderr(const std::string& text) {
    return testing::Matcher<const std::string&>(text);
}
