// The exit leak check of a sanitised program that drew with GL and closed its window: the GL driver's
// own process-lifetime allocations never fail it, a block our code loses always does, with the stack
// unwound either way.

#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <cstdlib>
#include <string>

namespace {

struct Outcome
{
    int status;
    std::string output;
};

Outcome runLeakCheckProgram(const std::string& unwinding, std::vector<std::string> args)
{
    // The leak check aborts on a report (run-test.sh): abort_on_error=0 gives a plain non-zero status.
    const std::string options = "detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=" + unwinding;
    const char* saved = std::getenv("ASAN_OPTIONS");
    const std::string previous = saved ? saved : "";
    setenv("ASAN_OPTIONS", options.c_str(), 1);
    ProgramRun run("LeakCheckProgram", "LeakCheckProgram", std::move(args));
    if (saved) {
        setenv("ASAN_OPTIONS", previous.c_str(), 1);
    } else {
        unsetenv("ASAN_OPTIONS");
    }
    const int status = run.waitExit(300);
    return {status, run.output()};
}

class LeakCheck : public ::testing::TestWithParam<const char*>
{
};

} // namespace

TEST_P(LeakCheck, passesAProgramThatClosedItsGLDriverAndFailsOneThatLosesABlock)
{
    const Outcome clean = runLeakCheckProgram(GetParam(), {});
    EXPECT_EQ(clean.status, 0) << clean.output;
    EXPECT_NE(clean.output.find("drawn 255"), std::string::npos) << clean.output;
    EXPECT_EQ(clean.output.find("leak of"), std::string::npos) << clean.output;

    const Outcome leaking = runLeakCheckProgram(GetParam(), {"--leak"});
    EXPECT_NE(leaking.status, 0) << leaking.output;
    EXPECT_NE(leaking.output.find("Direct leak of 48 byte(s)"), std::string::npos) << leaking.output;
    EXPECT_NE(leaking.output.find("leakOnPurpose"), std::string::npos) << leaking.output;
}

INSTANTIATE_TEST_SUITE_P(FastAndFullUnwinding, LeakCheck, ::testing::Values("1", "0"));
