// Runs a test body inside a network namespace of its own, where it may
// create and remove interfaces without touching the machine's.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace kesrow::testing {

// True in the copy of the test binary started by RerunInPrivateNetNamespace.
bool InPrivateNetNamespace();
// Why no namespace with tun devices can be made here; "" when one can.
std::string WhyNoPrivateNetNamespace();
// Runs the current test again in a child process in a new network namespace
// (which goes away with it); returns the child's exit code, 128 + signal,
// or 125 when the child did not run the test at all.
int RerunInPrivateNetNamespace();
// Called by the rerun test on entry, so that a filter matching nothing
// cannot pass for a test that passed.
void NoteTestRunsInside();

}  // namespace kesrow::testing

// First statement of a test that needs its own network namespace: outside
// one, reruns the test inside one and checks that it passed there.
#define RUN_IN_PRIVATE_NET_NAMESPACE()                                                   \
    if (::kesrow::testing::InPrivateNetNamespace()) {                                    \
        ::kesrow::testing::NoteTestRunsInside();                                         \
    } else {                                                                             \
        const std::string whyNot = ::kesrow::testing::WhyNoPrivateNetNamespace();        \
        if (!whyNot.empty())                                                             \
            GTEST_SKIP() << whyNot;                                                      \
        EXPECT_EQ(::kesrow::testing::RerunInPrivateNetNamespace(), 0)                    \
            << "the test failed inside its network namespace (see its output above)";  \
        return;                                                                          \
    }
