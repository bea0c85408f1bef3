// Controls taken over after creation: what goes to the previous procedure,
// and when that procedure is put back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Probes.h"

namespace {

class SubclassTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        holder = CreateHolderWindow();
        ASSERT_NE(nullptr, holder);
    }
    void TearDown() override { DestroyWindow(holder); }

    HWND holder = nullptr;
    std::vector<std::string> log;
};

TEST_F(SubclassTest, UnhandledMessagesGoToThePreviousProcedureWithTheirArguments)
{
    HWND control = CreateRecorderControl(holder, &log);
    ProbeControl probe;
    probe.log = &log;
    probe.handler = [](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_TEST_PROBE)
            return FALSE;
        result = 0x1111;
        return TRUE;
    };
    ASSERT_TRUE(probe.AttachToControl(control));
    EXPECT_EQ(control, probe.m_hWnd);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(probe.Trampoline()), GetWindowLongPtrA(control, GWLP_WNDPROC));
    EXPECT_EQ(&RecorderProcedure, probe.PreviousProcedure());

    log.clear();
    EXPECT_EQ(0x1111, SendMessageA(control, WM_TEST_PROBE, 1, 2));
    EXPECT_EQ(RecorderAnswer(WM_TEST_OTHER), SendMessageA(control, WM_TEST_OTHER, 3, 4));
    const std::vector<std::string> expected = {
        "map " + MessageName(WM_TEST_PROBE),
        "map " + MessageName(WM_TEST_OTHER),
        "prev " + MessageName(WM_TEST_OTHER) + " 3 4",
    };
    EXPECT_EQ(expected, log);
}

TEST_F(SubclassTest, ThePreviousProcedureIsPutBackOnNcDestroy)
{
    HWND control = CreateRecorderControl(holder, &log);
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    ProbeControl probe;
    probe.log = &log;
    LONG_PTR atTheEnd = 0;
    probe.afterLast = [&](HWND old) { atTheEnd = GetWindowLongPtrA(old, GWLP_WNDPROC); };
    ASSERT_TRUE(probe.AttachToControl(control));
    log.clear();
    DestroyWindow(control);
    const std::vector<std::string> expected = {
        "map WM_DESTROY",   "prev WM_DESTROY 0 0", "map WM_NCDESTROY", "prev WM_NCDESTROY 0 0",
        "after last message",
    };
    EXPECT_EQ(expected, log);
    EXPECT_EQ(original, atTheEnd);
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_EQ(0u, probe.State());
    EXPECT_EQ(std::vector<HWND>{control}, probe.lastMessages);
}

// The program takes over standard push-buttons; theirs must come back too.
TEST_F(SubclassTest, AStandardButtonGetsItsProcedureBack)
{
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 60, 20, holder,
                                  nullptr, nullptr, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(button, GWLP_WNDPROC);
    ProbeControl probe;
    LONG_PTR atTheEnd = 0;
    probe.afterLast = [&](HWND old) { atTheEnd = GetWindowLongPtrA(old, GWLP_WNDPROC); };
    ASSERT_TRUE(probe.AttachToControl(button));
    // Declined, the button's own procedure still answers.
    char text[8] = {};
    EXPECT_EQ(2, SendMessageA(button, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)));
    EXPECT_STREQ("OK", text);
    DestroyWindow(button);
    EXPECT_EQ(original, atTheEnd);
    EXPECT_EQ(1u, probe.lastMessages.size());
}

std::vector<std::string>* g_laterLog = nullptr;
WNDPROC g_laterNext = nullptr;

LRESULT CALLBACK LaterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP || message == WM_DESTROY || message == WM_NCDESTROY)
        g_laterLog->push_back("later " + MessageName(message));
    return CallWindowProcA(g_laterNext, window, message, wParam, lParam);
}

TEST_F(SubclassTest, ALaterSubclassIsNotCutOutOnNcDestroy)
{
    HWND control = CreateRecorderControl(holder, &log);
    ProbeControl probe;
    probe.log = &log;
    LONG_PTR atTheEnd = 0;
    probe.afterLast = [&](HWND old) { atTheEnd = GetWindowLongPtrA(old, GWLP_WNDPROC); };
    ASSERT_TRUE(probe.AttachToControl(control));
    g_laterLog = &log;
    g_laterNext = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProcedure)));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(probe.Trampoline()), g_laterNext);

    log.clear();
    EXPECT_EQ(RecorderAnswer(WM_TEST_OTHER), SendMessageA(control, WM_TEST_OTHER, 5, 6));
    DestroyWindow(control);
    const std::vector<std::string> expected = {
        "later " + MessageName(WM_TEST_OTHER), "map " + MessageName(WM_TEST_OTHER),
        "prev " + MessageName(WM_TEST_OTHER) + " 5 6",
        "later WM_DESTROY",    "map WM_DESTROY",    "prev WM_DESTROY 0 0",
        "later WM_NCDESTROY",  "map WM_NCDESTROY",  "prev WM_NCDESTROY 0 0",
        "after last message",
    };
    EXPECT_EQ(expected, log);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&LaterProcedure), atTheEnd);
    EXPECT_EQ(nullptr, probe.m_hWnd);
}

// A control whose own procedure is DefWindowProcA keeps the trampoline to
// the end: there is nothing worth putting back.
TEST_F(SubclassTest, DefWindowProcAIsNotPutBack)
{
    HWND control = CreatePlainControl(holder);
    ProbeControl probe;
    LONG_PTR atTheEnd = 0;
    probe.afterLast = [&](HWND old) { atTheEnd = GetWindowLongPtrA(old, GWLP_WNDPROC); };
    ASSERT_TRUE(probe.AttachToControl(control));
    ASSERT_EQ(&DefWindowProcA, probe.PreviousProcedure()) << "the platform gave another address for it";
    DestroyWindow(control);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(probe.Trampoline()), atTheEnd);
    EXPECT_EQ(1u, probe.lastMessages.size());
}

TEST_F(SubclassTest, DestroyInsideAHandledMessageDefersTheUnbindingUntilItReturns)
{
    HWND control = CreateRecorderControl(holder, &log);
    ProbeControl probe;
    probe.log = &log;
    auto flags = [&](const char* when) {
        char text[80];
        std::snprintf(text, sizeof text, "%s: bound=%d gone=%lu", when, probe.m_hWnd == control ? 1 : 0,
                      static_cast<unsigned long>(probe.State() & 1));
        log.push_back(text);
    };
    probe.handler = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_TEST_PROBE)
            return FALSE;
        flags("probe begins");
        DestroyWindow(control);
        flags("probe after DestroyWindow");
        result = 0x55;
        return TRUE;
    };
    probe.afterLast = [&](HWND) { flags("after last message"); };
    ASSERT_TRUE(probe.AttachToControl(control));
    log.clear();
    SendMessageA(control, WM_TEST_PROBE, 0, 0);
    const std::vector<std::string> expected = {
        "map " + MessageName(WM_TEST_PROBE),
        "probe begins: bound=1 gone=0",
        "map WM_DESTROY", "prev WM_DESTROY 0 0",
        "map WM_NCDESTROY", "prev WM_NCDESTROY 0 0",
        "probe after DestroyWindow: bound=1 gone=1",
        "after last message",
        "after last message: bound=0 gone=0",
    };
    EXPECT_EQ(expected, log);
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_EQ(nullptr, probe.CurrentMessage());
    EXPECT_EQ(std::vector<HWND>{control}, probe.lastMessages);
}

TEST_F(SubclassTest, AttachFailsAndLeavesTheObjectUnboundWhenThePlatformRefuses)
{
    HWND gone = CreateRecorderControl(holder, nullptr);
    DestroyWindow(gone);
    ProbeControl probe;
    EXPECT_FALSE(probe.AttachToControl(gone));
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_EQ(&DefWindowProcA, probe.PreviousProcedure());
}

TEST_F(SubclassTest, AnObjectTakesOverAnotherControlWithTheSameStubAfterTheFirstHasGone)
{
    HWND first = CreateRecorderControl(holder, &log);
    HWND second = CreateRecorderControl(holder, &log);
    ProbeControl probe;
    probe.log = &log;
    ASSERT_TRUE(probe.AttachToControl(first));
    EntryTrampoline* stub = probe.Trampoline();
    DestroyWindow(first);
    ASSERT_TRUE(probe.AttachToControl(second));
    EXPECT_EQ(stub, probe.Trampoline());
    EXPECT_EQ(second, probe.m_hWnd);
    log.clear();
    EXPECT_EQ(RecorderAnswer(WM_TEST_OTHER), SendMessageA(second, WM_TEST_OTHER, 8, 9));
    const std::vector<std::string> expected = {
        "map " + MessageName(WM_TEST_OTHER),
        "prev " + MessageName(WM_TEST_OTHER) + " 8 9",
    };
    EXPECT_EQ(expected, log);
}

}  // namespace
