#pragma once
#include <gtest/gtest.h>

#include "support/NetChangeProcess.h"

// How long a start of the program may take to show its panel and flag.
constexpr DWORD kStartMs = 10000;

// A case with a NetChange of its own, started before it runs: up once its
// panel shows and its flag has reached the top-right corner.
class StartedProgram : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Start());
        panel = program.WaitForPanel(kStartMs);
        ASSERT_NE(nullptr, panel);
        flag = program.WaitForFlag(kStartMs);
        ASSERT_NE(nullptr, flag) << "the flag window did not reach the top-right corner";
    }

    NetChangeProcess program;
    HWND panel = nullptr;
    HWND flag = nullptr;
};
