// The process-ending error path: message, exit status 1, replaceable handler.
#include <gtest/gtest.h>

#include "numerics/fatal_error.h"
#include "numerics/support/fatal_capture.h"

using namespace vorlan2;

namespace {

void returning_handler(const std::string&) {}

TEST(NumericsFatal, WritesTheMessageAndExitsWithFailure) {
    EXPECT_EXIT(numerics_fatal("Zero or negative argument in DSTREM"), testing::ExitedWithCode(1),
                "^Zero or negative argument in DSTREM\n$");
}

TEST(NumericsFatal, HandlerThatReturnsStillEndsTheProcess) {
    EXPECT_EXIT(
        {
            set_numerics_fatal_handler(returning_handler);
            numerics_fatal("text");
        },
        testing::ExitedWithCode(1), "text");
}

TEST(NumericsFatal, InstalledHandlerSeesTheTextAndIsRestored) {
    {
        FatalCapture capture;
        testing::internal::CaptureStderr();
        try {
            numerics_fatal("some text");
            FAIL() << "no exception";
        } catch (const NumericsFatal& e) {
            EXPECT_STREQ(e.what(), "some text");
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "some text\n");
    }
    EXPECT_EXIT(numerics_fatal("after"), testing::ExitedWithCode(1), "after");
}

}  // namespace
