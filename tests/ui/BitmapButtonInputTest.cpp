// The bitmap button under the mouse and the keyboard: what reaches the
// tooltip and the standard button procedure, in which order, and when the
// dialog gets its click.
#include <gtest/gtest.h>

#include <unknwn.h>

#include <cstring>

#include "ButtonHarness.h"
#include "support/MessageNames.h"
#include "UiTestDialogs.h"
#include "support/Pump.h"
#include "ui/AutoRepeatApi.h"

namespace {

const LPARAM kInside = ClientPoint(20, 12);
const LPARAM kOutsideRight = ClientPoint(kImageWidth + 30, 12);
const LPARAM kOutsideAbove = ClientPoint(-15, -10);

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= 0x020E;
}

// Is `block` a live allocation of the process heap?
bool HeapBlockBusy(const void* block)
{
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry = {};
    bool busy = false;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == block) {
            busy = true;
            break;
        }
    }
    HeapUnlock(heap);
    return busy;
}

// The keyboard settings and the timers come through their seams, so the
// delays are read as asked for and the timer messages are sent by hand:
// nothing here depends on the clock.
class RepeatSeams
{
public:
    struct Request
    {
        HWND window;
        UINT_PTR id;
        UINT elapse;
        bool operator==(const Request& other) const
        {
            return window == other.window && id == other.id && elapse == other.elapse;
        }
    };

    RepeatSeams(bool answer, UINT delay, UINT speed) : m_answer(answer), m_delay(delay), m_speed(speed)
    {
        m_current = this;
    }

    ~RepeatSeams() { m_current = nullptr; }

    RepeatSeams(const RepeatSeams&) = delete;
    RepeatSeams& operator=(const RepeatSeams&) = delete;

    std::vector<UINT> asked;
    std::vector<Request> started;

    // The button's calls: the platform's own while no seams are alive.
    static BOOL WINAPI Settings(UINT action, UINT param, PVOID value, UINT winIni)
    {
        if (m_current == nullptr)
            return SystemParametersInfoA(action, param, value, winIni);
        m_current->asked.push_back(action);
        if (!m_current->m_answer)
            return FALSE;
        *static_cast<UINT*>(value) = action == SPI_GETKEYBOARDDELAY ? m_current->m_delay : m_current->m_speed;
        return TRUE;
    }

    // The timer is made, so stopping it can be checked, but it never fires
    // by itself.
    static UINT_PTR WINAPI StartTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
    {
        if (m_current == nullptr)
            return SetTimer(window, id, elapse, procedure);
        m_current->started.push_back({window, id, elapse});
        return SetTimer(window, id, USER_TIMER_MAXIMUM, procedure);
    }

private:
    bool m_answer;
    UINT m_delay;
    UINT m_speed;
    static RepeatSeams* m_current;
};

RepeatSeams* RepeatSeams::m_current = nullptr;

const AutoRepeatApi kRepeatSeamsApi = {&RepeatSeams::Settings, &RepeatSeams::StartTimer};

class BitmapButtonInput : public testing::Test
{
protected:
    void Attach(DWORD style)
    {
        m_control = m_dialog.Item(IDC_UI_DEFAULT);
        // The dialog focused its first button before the object was there
        // to see it: start from a known focus.
        SetFocus(m_dialog.Item(IDC_UI_PLAIN));
        RecordStandardProcedure(m_control);
        m_button.SetExtendedStyle(style);
        ASSERT_TRUE(m_button.AttachToControl(m_control));
        m_button.AssignImageStrip(m_strip);
        m_button.AssignImageIndices(1, 2, 3, 0);
        ASSERT_TRUE(IsWindow(m_button.Tooltip()));
        RecordTooltip(m_button.Tooltip(), &m_button);
        ClearEvents();
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return SendMessageA(m_control, message, wParam, lParam);
    }

    // What the standard procedure was handed, without the returns.
    static std::vector<std::string> StandardSaw(const std::function<bool(UINT)>& which)
    {
        return Lines([&](const Event& e) { return e.source == "std" && e.detail.empty() && which(e.message); });
    }

    static size_t Clicks()
    {
        size_t clicks = 0;
        for (const ButtonDialog::Command& command : ButtonDialog::Commands())
            if (command.code == BN_CLICKED)
                ++clicks;
        return clicks;
    }

    void ExpectOnlyClicksFromButton()
    {
        for (const ButtonDialog::Command& command : ButtonDialog::Commands()) {
            if (command.code != BN_CLICKED)
                continue;
            EXPECT_EQ(IDC_UI_DEFAULT, command.id);
            EXPECT_EQ(m_control, command.control);
        }
    }

    int Picture()
    {
        Canvas canvas(kImageWidth, kImageHeight);
        Render(m_control, canvas);
        return WhichPicture(canvas).picture;
    }

    HIMAGELIST m_strip = MakeTestStrip();
    TestButton m_button{kRepeatSeamsApi};
    ButtonDialog m_dialog;
    HWND m_control = nullptr;
};

TEST_F(BitmapButtonInput, UpdateUiStateIsAnsweredAndNeverReachesTheStandardProcedure)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0));
    EXPECT_EQ(0, Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0));
    // A message the map does not take still goes through, so the recorder
    // is known to listen.
    Send(WM_CHAR, 'a', 0);
    EXPECT_EQ(std::vector<std::string>{"std WM_CHAR"},
              StandardSaw([](UINT m) { return m == WM_UPDATEUISTATE || m == WM_CHAR; }));
}

struct MouseMessage
{
    UINT message;
    WPARAM wParam;
};

const MouseMessage kMouseMessages[] = {
    {WM_MOUSEMOVE, 0},
    {WM_LBUTTONDOWN, MK_LBUTTON},
    {WM_LBUTTONUP, 0},
    {WM_LBUTTONDBLCLK, MK_LBUTTON},
    {WM_RBUTTONDOWN, MK_RBUTTON},
    {WM_RBUTTONUP, 0},
    {WM_RBUTTONDBLCLK, MK_RBUTTON},
    {WM_MBUTTONDOWN, MK_MBUTTON},
    {WM_MBUTTONUP, 0},
    {WM_MBUTTONDBLCLK, MK_MBUTTON},
    {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
    {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1)},
    {WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON1)},
    {WM_XBUTTONDBLCLK, MAKEWPARAM(MK_XBUTTON1, XBUTTON1)},
    {WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
};

// The tooltip hears every mouse message before the button acts on it: at
// the relay of a press the button is not yet pressed nor holding the mouse.
TEST_F(BitmapButtonInput, EveryMouseMessageIsRelayedBeforeItsEntryRuns)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    ASSERT_EQ(15u, sizeof kMouseMessages / sizeof kMouseMessages[0]);
    for (const MouseMessage& mouse : kMouseMessages) {
        SCOPED_TRACE(MessageName(mouse.message));
        ReleaseCapture();
        ASSERT_FALSE(m_button.Pressed());
        ClearEvents();
        Send(mouse.message, mouse.wParam, kInside);
        const std::vector<std::string> expected = {
            "tip TTM_RELAYEVENT " + MessageName(mouse.message) + " from button released free",
            "std " + MessageName(mouse.message),
        };
        EXPECT_EQ(expected, Lines([](const Event& e) {
                      return (e.source == "tip" && e.message == TTM_RELAYEVENT) ||
                             (e.source == "std" && e.detail.empty() && IsMouseMessage(e.message));
                  }));
    }
    ReleaseCapture();

    ClearEvents();
    for (UINT other : {WM_MOUSELEAVE, WM_MOUSEHOVER, WM_NCMOUSEMOVE, WM_KEYDOWN})
        Send(other, 0, kInside);
    EXPECT_EQ(std::vector<std::string>{}, Lines([](const Event& e) { return e.source == "tip"; }));
}

TEST_F(BitmapButtonInput, HoverModeRelaysTooButKeepsLeftButtonFromTheStandardProcedure)
{
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    for (const MouseMessage& mouse : kMouseMessages) {
        SCOPED_TRACE(MessageName(mouse.message));
        ReleaseCapture();
        m_button.SetPressed(false);
        ClearEvents();
        Send(mouse.message, mouse.wParam, kInside);
        std::vector<std::string> expected = {"tip TTM_RELAYEVENT " + MessageName(mouse.message) +
                                             " from button released free"};
        const bool leftButton = mouse.message == WM_LBUTTONDOWN || mouse.message == WM_LBUTTONUP ||
                                mouse.message == WM_LBUTTONDBLCLK;
        if (!leftButton)
            expected.push_back("std " + MessageName(mouse.message));
        EXPECT_EQ(expected, Lines([](const Event& e) {
                      return (e.source == "tip" && e.message == TTM_RELAYEVENT) ||
                             (e.source == "std" && e.detail.empty() && IsMouseMessage(e.message));
                  }));
    }
    ReleaseCapture();
}

// In normal mode the standard procedure takes focus and capture on the
// press and sends the click on the release, from inside its own handling.
TEST_F(BitmapButtonInput, PressAndReleaseClickThroughTheStandardProcedure)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    SetFocus(m_dialog.Item(IDC_UI_PLAIN));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(m_control, GetCapture());
    EXPECT_EQ(m_control, GetFocus());
    EXPECT_TRUE(m_button.HasFocus());
    EXPECT_EQ(2, Picture());
    EXPECT_EQ(0u, Clicks());

    ClearEvents();
    Send(WM_LBUTTONUP, 0, kInside);
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(3, Picture());
    EXPECT_EQ(1u, Clicks());
    ExpectOnlyClicksFromButton();
    const std::vector<std::string> expected = {
        "std WM_LBUTTONUP",
        "parent WM_COMMAND id 970 code 0",
        "std WM_LBUTTONUP returned",
    };
    EXPECT_EQ(expected, Lines([](const Event& e) {
                  return e.source == "parent" || (e.source == "std" && e.message == WM_LBUTTONUP);
              }));
}

TEST_F(BitmapButtonInput, DraggingOutWhileHeldReleasesThePictureAndTheClick)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    ASSERT_TRUE(m_button.Pressed());
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideRight);
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(3, Picture());
    Send(WM_MOUSEMOVE, MK_LBUTTON, kInside);
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(2, Picture());
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideAbove);
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(m_control, GetCapture());

    Send(WM_LBUTTONUP, 0, kOutsideAbove);
    EXPECT_EQ(0u, Clicks());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(m_button.Pressed());
    // The moves also went on to the standard procedure.
    EXPECT_EQ(3u, StandardSaw([](UINT m) { return m == WM_MOUSEMOVE; }).size());
}

TEST_F(BitmapButtonInput, DoubleClickPressesLikeAFirstClick)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, kInside);
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(m_control, GetCapture());
    EXPECT_EQ(1u, StandardSaw([](UINT m) { return m == WM_LBUTTONDBLCLK; }).size());
    Send(WM_LBUTTONUP, 0, kInside);
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(BitmapButtonInput, SpaceBarPressesAndTheStandardProcedureClicks)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    SetFocus(m_control);
    Send(WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(2, Picture());
    ClearEvents();
    Send(WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(1u, Clicks());
    ExpectOnlyClicksFromButton();
    const std::vector<std::string> expected = {
        "std WM_KEYUP",
        "parent WM_COMMAND id 970 code 0",
        "std WM_KEYUP returned",
    };
    EXPECT_EQ(expected, Lines([](const Event& e) {
                  return e.source == "parent" || (e.source == "std" && e.message == WM_KEYUP);
              }));
}

TEST_F(BitmapButtonInput, HoverModeIgnoresTheSpaceBar)
{
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    SetFocus(m_control);
    EXPECT_EQ(0, Send(WM_KEYDOWN, VK_SPACE, 0x00390001));
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(0, Send(WM_KEYUP, VK_SPACE, 0xC0390001));
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(0u, Clicks());
    // Other keys still reach the standard procedure.
    Send(WM_KEYDOWN, VK_RETURN, 0x001C0001);
    EXPECT_EQ(std::vector<std::string>{"std WM_KEYDOWN"},
              StandardSaw([](UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP; }));
}

// Hover mode clicks by itself: the standard procedure never sees the left
// button, and the click comes before the capture is let go.
TEST_F(BitmapButtonInput, HoverModeReleaseOverTheButtonClicksFromTheClass)
{
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    EXPECT_EQ(0, Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside));
    EXPECT_TRUE(m_button.Pressed());
    EXPECT_EQ(m_control, GetCapture());
    EXPECT_EQ(0u, Clicks());

    EXPECT_EQ(0, Send(WM_LBUTTONUP, 0, kInside));
    EXPECT_EQ(1u, Clicks());
    ExpectOnlyClicksFromButton();
    EXPECT_FALSE(m_button.Pressed());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(std::vector<std::string>{}, StandardSaw([](UINT m) { return m == WM_LBUTTONDOWN || m == WM_LBUTTONUP; }));
    const std::vector<std::string> expected = {
        "parent WM_COMMAND id 970 code 0",
        "std WM_CAPTURECHANGED",
    };
    EXPECT_EQ(expected, Lines([](const Event& e) {
                  return e.source == "parent" ||
                         (e.source == "std" && e.detail.empty() && e.message == WM_CAPTURECHANGED);
              }));
}

TEST_F(BitmapButtonInput, HoverModeReleaseAfterDraggingOutDoesNotClick)
{
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideRight);
    EXPECT_FALSE(m_button.Pressed());
    Send(WM_LBUTTONUP, 0, kOutsideRight);
    EXPECT_EQ(0u, Clicks());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(BitmapButtonInput, HoverModeFollowsTheMouseInAndOut)
{
    Attach(BUTTON_HOVER_MODE | BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    RECT rect;
    GetWindowRect(m_control, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(1, Picture());

    Send(WM_MOUSEMOVE, 0, kInside);
    EXPECT_TRUE(m_button.MouseOver());
    EXPECT_EQ(3, Picture());
    // It asked to hear when the mouse leaves.
    TRACKMOUSEEVENT query = {sizeof query, TME_QUERY, nullptr, 0};
    ASSERT_TRUE(_TrackMouseEvent(&query));
    EXPECT_TRUE(query.dwFlags & TME_LEAVE);
    EXPECT_EQ(m_control, query.hwndTrack);

    // The platform's own leave notification clears it.
    SetCursorPos(rect.right + 300, rect.bottom + 300);
    EXPECT_TRUE(PumpUntil([this] { return !m_button.MouseOver(); }, 3000));
    EXPECT_EQ(1, Picture());
    EXPECT_EQ(std::vector<std::string>{}, StandardSaw([](UINT m) { return m == WM_MOUSELEAVE; }));

    m_button.SetMouseOver(true);
    EXPECT_EQ(0, Send(WM_MOUSELEAVE, 0, 0));
    EXPECT_FALSE(m_button.MouseOver());
}

TEST_F(BitmapButtonInput, TimersOfOtherIdsAreSwallowedWithoutAClick)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    ASSERT_TRUE(m_button.Pressed());
    // Without auto-repeat a press starts no timer.
    EXPECT_FALSE(KillTimer(m_control, CBmpBtn::TIMER_REPEAT_DELAY));
    EXPECT_EQ(0, Send(WM_TIMER, 1234, 0));
    EXPECT_EQ(0, Send(WM_TIMER, 1, 0));
    EXPECT_EQ(0u, Clicks());
    EXPECT_EQ(std::vector<std::string>{}, StandardSaw([](UINT m) { return m == WM_TIMER; }));
    Send(WM_LBUTTONUP, 0, kInside);
}


void PrintTo(const RepeatSeams::Request& request, std::ostream* out)
{
    *out << "{timer " << request.id << ", " << request.elapse << " ms}";
}

TEST_F(BitmapButtonInput, AutoRepeatWaitsTheKeyboardDelayThenRepeatsAtKeyboardSpeed)
{
    RepeatSeams seams(true, 1, 31);
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE | BUTTON_AUTO_REPEAT);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_EQ(std::vector<UINT>{SPI_GETKEYBOARDDELAY}, seams.asked);
    using Request = RepeatSeams::Request;
    EXPECT_EQ((std::vector<Request>{{m_control, CBmpBtn::TIMER_REPEAT_DELAY, 500}}), seams.started);
    EXPECT_EQ(0u, Clicks());

    EXPECT_EQ(0, Send(WM_TIMER, CBmpBtn::TIMER_REPEAT_DELAY, 0));
    EXPECT_EQ(1u, Clicks());
    EXPECT_EQ((std::vector<UINT>{SPI_GETKEYBOARDDELAY, SPI_GETKEYBOARDSPEED}), seams.asked);
    EXPECT_EQ((std::vector<Request>{{m_control, CBmpBtn::TIMER_REPEAT_DELAY, 500},
                                    {m_control, CBmpBtn::TIMER_REPEAT, 29}}),
              seams.started);
    // The wait is over: its timer is gone.
    EXPECT_FALSE(KillTimer(m_control, CBmpBtn::TIMER_REPEAT_DELAY));

    for (int i = 0; i < 3; ++i)
        Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    EXPECT_EQ(4u, Clicks());

    // Held outside: the timer runs on without clicking.
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideRight);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    EXPECT_EQ(4u, Clicks());
    Send(WM_MOUSEMOVE, MK_LBUTTON, kInside);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    EXPECT_EQ(5u, Clicks());

    // The release clicks once more through the standard procedure; the next
    // tick finds the mouse let go and stops the timer.
    Send(WM_LBUTTONUP, 0, kInside);
    EXPECT_EQ(6u, Clicks());
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    EXPECT_EQ(6u, Clicks());
    EXPECT_FALSE(KillTimer(m_control, CBmpBtn::TIMER_REPEAT));
    ExpectOnlyClicksFromButton();
    EXPECT_EQ(2u, seams.started.size());
    EXPECT_EQ(std::vector<std::string>{}, StandardSaw([](UINT m) { return m == WM_TIMER; }));
}

TEST_F(BitmapButtonInput, AutoRepeatTimerKeepsRunningWhileHeldOutside)
{
    RepeatSeams seams(true, 0, 0);
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE | BUTTON_AUTO_REPEAT);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT_DELAY, 0);
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideAbove);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    EXPECT_EQ(1u, Clicks());
    EXPECT_TRUE(KillTimer(m_control, CBmpBtn::TIMER_REPEAT));
    Send(WM_LBUTTONUP, 0, kOutsideAbove);
    EXPECT_EQ(1u, Clicks());
}

TEST_F(BitmapButtonInput, AutoRepeatDelaysFollowTheKeyboardSettings)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE | BUTTON_AUTO_REPEAT);
    struct Case
    {
        bool answer;
        UINT delay;
        UINT speed;
        UINT wait;
        UINT interval;
    };
    // delay (setting + 1) × 250 ms; interval 10000 / (speed × 10 + 25) ms;
    // 250 ms each when the settings cannot be read.
    const Case cases[] = {
        {true, 0, 0, 250, 400}, {true, 1, 15, 500, 57}, {true, 2, 31, 750, 29},
        {true, 3, 1, 1000, 285}, {false, 2, 20, 250, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "delay " << c.delay << " speed " << c.speed
                                        << (c.answer ? "" : " (unreadable)"));
        RepeatSeams seams(c.answer, c.delay, c.speed);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
        ASSERT_EQ(1u, seams.started.size());
        EXPECT_EQ(CBmpBtn::TIMER_REPEAT_DELAY, seams.started[0].id);
        EXPECT_EQ(c.wait, seams.started[0].elapse);
        EXPECT_TRUE(KillTimer(m_control, CBmpBtn::TIMER_REPEAT_DELAY));
        Send(WM_TIMER, CBmpBtn::TIMER_REPEAT_DELAY, 0);
        ASSERT_EQ(2u, seams.started.size());
        EXPECT_EQ(CBmpBtn::TIMER_REPEAT, seams.started[1].id);
        EXPECT_EQ(c.interval, seams.started[1].elapse);
        Send(WM_LBUTTONUP, 0, kInside);
        Send(WM_TIMER, CBmpBtn::TIMER_REPEAT, 0);
    }
}

TEST_F(BitmapButtonInput, NoRepeatWhenTheDelayEndsUnpressedOrWithoutAutoRepeat)
{
    RepeatSeams seams(true, 1, 31);
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE | BUTTON_AUTO_REPEAT);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    Send(WM_MOUSEMOVE, MK_LBUTTON, kOutsideRight);
    Send(WM_TIMER, CBmpBtn::TIMER_REPEAT_DELAY, 0);
    EXPECT_EQ(0u, Clicks());
    EXPECT_EQ(1u, seams.started.size());
    Send(WM_LBUTTONUP, 0, kOutsideRight);

    m_button.SetExtendedStyle(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    seams.started.clear();
    seams.asked.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_TRUE(seams.started.empty());
    EXPECT_TRUE(seams.asked.empty());
    Send(WM_LBUTTONUP, 0, kInside);
}

TOOLINFOA FirstTool(HWND tooltip, char* text)
{
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool));
    return tool;
}

TEST_F(BitmapButtonInput, TooltipTextIsCopiedAndItsToolAdded)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    char text[] = "设置";
    EXPECT_TRUE(m_button.AssignTooltipText(text));
    ASSERT_NE(nullptr, m_button.TooltipText());
    EXPECT_NE(text, m_button.TooltipText());
    EXPECT_STREQ(text, m_button.TooltipText());
    EXPECT_TRUE(HeapBlockBusy(m_button.TooltipText()));
    const std::vector<std::string> expected = {"tip TTM_ACTIVATE on", "tip TTM_ADDTOOLA"};
    EXPECT_EQ(expected, Lines([](const Event& e) { return e.source == "tip"; }));

    EXPECT_EQ(1, SendMessageA(m_button.Tooltip(), TTM_GETTOOLCOUNT, 0, 0));
    char shown[80] = {};
    const TOOLINFOA tool = FirstTool(m_button.Tooltip(), shown);
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
    EXPECT_FALSE(tool.uFlags & TTF_SUBCLASS);
    EXPECT_EQ(m_dialog.Window(), tool.hwnd);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(m_control), tool.uId);
    EXPECT_STREQ("设置", shown);
}

TEST_F(BitmapButtonInput, NullTooltipTextSwitchesTheTooltipOffAndFreesTheCopy)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    ASSERT_TRUE(m_button.AssignTooltipText("关于这个按钮的一段较长的提示文字"));
    const char* copy = m_button.TooltipText();
    ASSERT_TRUE(HeapBlockBusy(copy));
    ClearEvents();

    EXPECT_TRUE(m_button.AssignTooltipText(nullptr));
    EXPECT_EQ(nullptr, m_button.TooltipText());
    EXPECT_FALSE(HeapBlockBusy(copy));
    EXPECT_EQ(std::vector<std::string>{"tip TTM_ACTIVATE off"},
              Lines([](const Event& e) { return e.source == "tip"; }));
}

TEST_F(BitmapButtonInput, TextGivenBeforeAttachingIsAddedWhenTheTooltipIsMade)
{
    m_control = m_dialog.Item(IDC_UI_DEFAULT);
    // No tooltip yet: the text is only kept.
    EXPECT_TRUE(m_button.AssignTooltipText("退出"));
    EXPECT_EQ(nullptr, m_button.Tooltip());
    ASSERT_TRUE(m_button.AttachToControl(m_control));
    ASSERT_TRUE(IsWindow(m_button.Tooltip()));
    EXPECT_EQ(1, SendMessageA(m_button.Tooltip(), TTM_GETTOOLCOUNT, 0, 0));
    char shown[80] = {};
    FirstTool(m_button.Tooltip(), shown);
    EXPECT_STREQ("退出", shown);
}

TEST_F(BitmapButtonInput, DestroyingTheButtonDestroysItsTooltip)
{
    Attach(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE);
    HWND tooltip = m_button.Tooltip();
    DestroyWindow(m_control);
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(nullptr, m_button.Tooltip());
    EXPECT_EQ(nullptr, m_button.m_hWnd);
    // WM_DESTROY still went on to the standard procedure.
    EXPECT_EQ((std::vector<std::string>{"std WM_DESTROY", "std WM_NCDESTROY"}),
              StandardSaw([](UINT m) { return m == WM_DESTROY || m == WM_NCDESTROY; }));
}

// An image list hands out COM references: one taken by the test shows
// whether the button's destructor released the list's own.
ULONG ReferencesLeftAfter(DWORD style, bool attached, ButtonDialog& dialog)
{
    using QueryFn = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    static const GUID imageListId = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "HIMAGELIST_QueryInterface")));
    if (query == nullptr)
        return 99;
    HIMAGELIST strip = MakeTestStrip();
    IUnknown* reference = nullptr;
    if (FAILED(query(strip, imageListId, reinterpret_cast<void**>(&reference))))
        return 98;
    {
        CBmpBtn button(style);
        button.AssignImageStrip(strip);
        if (attached) {
            HWND control = dialog.Renew(IDC_UI_DEFAULT);
            button.AttachToControl(control);
            DestroyWindow(control);
        }
    }
    const ULONG left = reference->Release();
    if (left != 0)
        ImageList_Destroy(strip);
    return left;
}

TEST_F(BitmapButtonInput, DestructorDestroysTheStripUnlessShared)
{
    EXPECT_EQ(0u, ReferencesLeftAfter(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE, false, m_dialog));
    EXPECT_EQ(0u, ReferencesLeftAfter(BUTTON_EDGE_SINGLE | BUTTON_FIT_TO_IMAGE, true, m_dialog));
    EXPECT_EQ(1u, ReferencesLeftAfter(BUTTON_SHARED_STRIP | BUTTON_EDGE_SINGLE, false, m_dialog));
    EXPECT_EQ(1u, ReferencesLeftAfter(BUTTON_SHARED_STRIP | BUTTON_FIT_TO_IMAGE, true, m_dialog));
}

TEST_F(BitmapButtonInput, DestructorFreesTheTooltipText)
{
    const char* copy = nullptr;
    {
        CBmpBtn button;
        ASSERT_TRUE(button.AssignTooltipText("一段只属于这个按钮的提示"));
        copy = button.TooltipText();
        ASSERT_TRUE(HeapBlockBusy(copy));
    }
    EXPECT_FALSE(HeapBlockBusy(copy));
}

}  // namespace
