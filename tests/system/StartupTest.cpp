#include <gtest/gtest.h>

#include "support/NetChangeProcess.h"

namespace {

constexpr DWORD kStartMs = 10000;

TEST(Startup, SecondInstanceExitsWithOneAndShowsNothing)
{
    NetChangeProcess first;
    ASSERT_TRUE(first.Start());
    ASSERT_NE(nullptr, first.WaitForPanel(kStartMs));

    NetChangeProcess second("second");
    ASSERT_TRUE(second.Start());
    DWORD code = 0;
    ASSERT_TRUE(second.WaitForExit(kStartMs, &code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ(0, CountProcessWindows(second.Pid(), nullptr, false));
    EXPECT_TRUE(first.Running());
}

TEST(Startup, HeldMutexMakesTheProgramExitWithOne)
{
    HANDLE held = CreateMutexA(nullptr, FALSE, "外网");
    ASSERT_NE(nullptr, held);
    NetChangeProcess program;
    ASSERT_TRUE(program.Start());
    DWORD code = 0;
    ASSERT_TRUE(program.WaitForExit(kStartMs, &code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ(0, CountProcessWindows(program.Pid(), nullptr, false));
    CloseHandle(held);
}

}  // namespace
