// Test check that a call raises one of the matrix library's exception types with a
// given message text.
#pragma once

#include <gtest/gtest.h>
#include <myexcept.h>

#include <cstring>

template <class Error, class Call>
::testing::AssertionResult Raises(Call&& call, const char* message) {
    try {
        call();
    } catch (const Error&) {
        const char* what = RBD_COMMON::BaseException::what();
        if (what != nullptr && std::strstr(what, message) != nullptr) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "raised the expected type, but the report is: " << (what ? what : "(none)");
    } catch (const RBD_COMMON::BaseException&) {
        return ::testing::AssertionFailure() << "raised another type, reporting: " << RBD_COMMON::BaseException::what();
    } catch (...) {
        return ::testing::AssertionFailure() << "raised something else";
    }
    return ::testing::AssertionFailure() << "raised nothing";
}
