// What the dialog procedure makes of a map's answer, the order in which a
// class and its mixins are asked, and the records of nested messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Probes.h"
#include "support/Canvas.h"
#include "framework/CDialogImpl.h"
#include "framework/TestDialogs.h"
#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "panel/CNETFLAGDlg.h"
#include "panel/CMainDlg.h"
#include "ui/CBmpBtn.h"

namespace {

class EndAtOnceDlg : public CDialogImpl<EndAtOnceDlg>
{
public:
    enum { IDD = IDD_TEST_PLAIN };
    BOOL RouteMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        if (message == WM_INITDIALOG) {
            seenWindow = m_hWnd;
            PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            result = TRUE;
            return TRUE;
        }
        if (message == WM_COMMAND) {
            EndDialog(m_hWnd, 42);
            result = 0;
            return TRUE;
        }
        return FALSE;
    }
    HWND seenWindow = nullptr;
};

TEST(Dispatch, RunModalBindsAndUnbinds)
{
    EndAtOnceDlg dialog;
    EXPECT_EQ(42, dialog.RunModal(nullptr));
    EXPECT_NE(nullptr, dialog.seenWindow);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

// The dialog manager takes these messages' results from the dialog
// procedure's return value; everything else from DWLP_MSGRESULT.
const UINT kDirectMessages[] = {
    WM_CHARTOITEM,        WM_COMPAREITEM,      WM_CTLCOLORBTN,     WM_CTLCOLORDLG,
    WM_CTLCOLOREDIT,      WM_CTLCOLORLISTBOX,  WM_CTLCOLORMSGBOX,  WM_CTLCOLORSCROLLBAR,
    WM_CTLCOLORSTATIC,    WM_INITDIALOG,       WM_QUERYDRAGICON,   WM_VKEYTOITEM,
};
const UINT kThroughMsgResult[] = {WM_ERASEBKGND, WM_NOTIFY, WM_SETCURSOR, WM_GETDLGCODE,
                                  WM_COMMAND,    WM_TIMER,  WM_TEST_PROBE};

// Calls the window's dialog procedure, as the dialog manager would, with
// DWLP_MSGRESULT preset; reports both the return value and DWLP_MSGRESULT.
std::string CallDialogProcedure(HWND window, UINT message)
{
    constexpr LONG_PTR kUntouched = 0x0BADF00D;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, kUntouched);
    auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));
    const INT_PTR answer = procedure(window, message, 0, 0);
    const LONG_PTR stored = GetWindowLongPtrA(window, DWLP_MSGRESULT);
    return MessageName(message) + " returns " + Hex(answer) + ", msgresult " +
           (stored == kUntouched ? std::string("untouched") : Hex(stored));
}

TEST(Dispatch, HandledResultsReachTheDialogManagerTheWayEachMessageNeeds)
{
    constexpr LRESULT kResult = 0x5A5A;
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    bool probing = false;
    dialog.handler = [&](UINT, WPARAM, LPARAM, LRESULT& result) {
        if (!probing)
            return FALSE;
        result = kResult;
        return TRUE;
    };
    std::vector<std::string> seen;
    std::vector<std::string> expected;
    HWND procedureOwner = nullptr;
    dialog.body = [&](HWND window) {
        procedureOwner = reinterpret_cast<HWND>(GetWindowLongPtrA(window, DWLP_DLGPROC));
        probing = true;
        for (UINT message : kDirectMessages) {
            seen.push_back(CallDialogProcedure(window, message));
            expected.push_back(MessageName(message) + " returns " + Hex(kResult) + ", msgresult untouched");
        }
        for (UINT message : kThroughMsgResult) {
            seen.push_back(CallDialogProcedure(window, message));
            expected.push_back(MessageName(message) + " returns " + Hex(1) + ", msgresult " + Hex(kResult));
        }
        probing = false;
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    // The platform calls the object's trampoline directly once bound.
    EXPECT_EQ(reinterpret_cast<HWND>(dialog.Trampoline()), procedureOwner);
    EXPECT_EQ(expected, seen);
}

TEST(Dispatch, UnhandledMessageReturnsFalseAndLeavesMsgResultAlone)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    std::vector<std::string> seen;
    dialog.body = [&](HWND window) {
        seen.push_back(CallDialogProcedure(window, WM_TEST_NOBODY));
        seen.push_back(CallDialogProcedure(window, WM_CTLCOLORSTATIC));
        seen.push_back(CallDialogProcedure(window, WM_ERASEBKGND));
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    const std::vector<std::string> expected = {
        MessageName(WM_TEST_NOBODY) + " returns 0x0, msgresult untouched",
        "WM_CTLCOLORSTATIC returns 0x0, msgresult untouched",
        "WM_ERASEBKGND returns 0x0, msgresult untouched",
    };
    EXPECT_EQ(expected, seen);
    EXPECT_TRUE(dialog.Saw(WM_TEST_NOBODY)) << "the map was never asked";
}

// The static control paints its background with whatever brush its parent
// answers; with the framework's answer that is the map's brush.
TEST(Dispatch, HandledCtlColorStaticPaintsTheStaticWithTheMapsBrush)
{
    const COLORREF kGreen = RGB(0, 160, 80);
    HBRUSH brush = CreateSolidBrush(kGreen);
    ProbeDialog<IDD_TEST_CONTROLS> dialog;
    bool answer = true;
    std::vector<HWND> askedFor;
    dialog.handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_CTLCOLORSTATIC || !answer)
            return FALSE;
        askedFor.push_back(reinterpret_cast<HWND>(lParam));
        result = reinterpret_cast<LRESULT>(brush);
        return TRUE;
    };
    HWND text = nullptr;
    COLORREF withMap = 0;
    COLORREF withoutMap = 0;
    LRESULT sent = 0;
    dialog.body = [&](HWND window) {
        text = GetDlgItem(window, IDC_TEST_STATIC);
        RECT client;
        GetClientRect(text, &client);
        // Right of the two characters, where only the background shows.
        const int x = client.right - 2;
        const int y = client.bottom / 2;
        {
            Canvas canvas(client.right, client.bottom);
            canvas.Fill(RGB(255, 255, 255));
            sent = SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                                reinterpret_cast<LPARAM>(text));
            SendMessageA(text, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
            withMap = canvas.At(x, y);
        }
        answer = false;
        {
            Canvas canvas(client.right, client.bottom);
            canvas.Fill(RGB(255, 255, 255));
            SendMessageA(text, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
            withoutMap = canvas.At(x, y);
        }
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    DeleteObject(brush);
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush), sent);
    ASSERT_FALSE(askedFor.empty());
    EXPECT_EQ(text, askedFor.back());
    EXPECT_EQ(Hex(kGreen), Hex(withMap));
    EXPECT_NE(Hex(kGreen), Hex(withoutMap)) << "the static has this colour of its own";
}

// A handled erase answers 1 through DWLP_MSGRESULT; the dialog manager must
// then leave the map's painting alone.
TEST(Dispatch, HandledEraseBackgroundKeepsTheMapsPaintAndAnswersThroughMsgResult)
{
    const COLORREF kRed = RGB(200, 20, 30);
    HBRUSH brush = CreateSolidBrush(kRed);
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    bool answer = true;
    dialog.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_ERASEBKGND)
            return FALSE;
        RECT client;
        GetClientRect(dialog.m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        result = 1;
        return answer ? TRUE : FALSE;
    };
    LRESULT sent = 0;
    LONG_PTR stored = 0;
    COLORREF withMap = 0;
    COLORREF declined = 0;
    dialog.body = [&](HWND window) {
        RECT client;
        GetClientRect(window, &client);
        {
            Canvas canvas(client.right, client.bottom);
            canvas.Fill(RGB(255, 255, 255));
            SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
            sent = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
            stored = GetWindowLongPtrA(window, DWLP_MSGRESULT);
            withMap = canvas.At(client.right / 2, client.bottom / 2);
        }
        // The same painting, but declined: the dialog manager erases over it.
        answer = false;
        {
            Canvas canvas(client.right, client.bottom);
            canvas.Fill(RGB(255, 255, 255));
            SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
            declined = canvas.At(client.right / 2, client.bottom / 2);
        }
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    DeleteObject(brush);
    EXPECT_EQ(1, sent);
    EXPECT_EQ(1, stored);
    EXPECT_EQ(Hex(kRed), Hex(withMap));
    EXPECT_NE(Hex(kRed), Hex(declined));
}

// WM_INITDIALOG's answer reaches the platform directly: 1 asks for the
// default focus, 0 keeps the focus the handler chose.
HWND FocusAfterInitDialog(LRESULT initAnswer, HWND* first, HWND* next)
{
    ProbeDialog<IDD_TEST_FOCUS> dialog;
    HWND focus = nullptr;
    dialog.handler = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_INITDIALOG) {
            *first = GetDlgItem(dialog.m_hWnd, IDC_TEST_FIRST_EDIT);
            *next = GetDlgItem(dialog.m_hWnd, IDC_TEST_NEXT_EDIT);
            SetFocus(*next);
            // Looked at once the dialog is shown and active.
            SetTimer(dialog.m_hWnd, 1, 10, nullptr);
            result = initAnswer;
            return TRUE;
        }
        if (message == WM_TIMER) {
            KillTimer(dialog.m_hWnd, 1);
            focus = GetFocus();
            EndDialog(dialog.m_hWnd, 1);
            result = 0;
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(1, dialog.RunModal(nullptr));
    return focus;
}

TEST(Dispatch, InitDialogAnsweredOneGivesTheFirstTabStopTheFocus)
{
    HWND first = nullptr;
    HWND next = nullptr;
    HWND focus = FocusAfterInitDialog(1, &first, &next);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, focus) << "the focus is on control " << GetDlgCtrlID(focus);
}

TEST(Dispatch, InitDialogAnsweredZeroKeepsTheFocusTheHandlerSet)
{
    HWND first = nullptr;
    HWND next = nullptr;
    HWND focus = FocusAfterInitDialog(0, &first, &next);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(next, focus) << "the focus is on control " << GetDlgCtrlID(focus);
}

// Test messages: each taken by the own map and every mixin after it in
// the class's order, so the answer shows who was asked first.
constexpr UINT kForOwn = WM_APP + 10;     // own map, first and second mixin
constexpr UINT kForFirst = WM_APP + 11;   // first and second mixin
constexpr UINT kForSecond = WM_APP + 12;  // second mixin only
constexpr UINT kForNobody = WM_APP + 13;

std::string MapLine(const char* who, UINT message, DWORD mapId)
{
    return std::string(who) + " " + MessageName(message) + " map" + std::to_string(mapId);
}

// The two forms of mixin the program has: one derives from CMessageMap,
// the other only has a map of the same shape.
template <class T>
class FirstMixin : public CMessageMap
{
public:
    BOOL RouteMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD mapId) override
    {
        static_cast<T*>(this)->log.push_back(MapLine("first", message, mapId));
        if (mapId != 0 || (message != kForOwn && message != kForFirst))
            return FALSE;
        result = 0x202;
        return TRUE;
    }

protected:
    ~FirstMixin() = default;
};

template <class T>
class SecondMixin
{
public:
    BOOL RouteMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD mapId)
    {
        static_cast<T*>(this)->log.push_back(MapLine("second", message, mapId));
        if (mapId != 0 || (message != kForOwn && message != kForFirst && message != kForSecond))
            return FALSE;
        result = 0x303;
        return TRUE;
    }

protected:
    ~SecondMixin() = default;
};

class MixedDlg : public CDialogImpl<MixedDlg>, public FirstMixin<MixedDlg>, public SecondMixin<MixedDlg>
{
public:
    enum { IDD = IDD_TEST_PLAIN };

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override
    {
        log.push_back(MapLine("own", message, mapId));
        if (mapId != 0)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            PostMessageA(window, WM_TEST_RUN, 0, 0);
            result = TRUE;
            return TRUE;
        case WM_TEST_RUN:
            body(window);
            EndDialog(window, 1);
            result = 0;
            return TRUE;
        case kForOwn:
            result = 0x101;
            return TRUE;
        default:
            break;
        }
        return FirstMixin::RouteMessage(window, message, wParam, lParam, result, 0) ||
               SecondMixin::RouteMessage(window, message, wParam, lParam, result, 0);
    }

    std::vector<std::string> log;
    std::function<void(HWND)> body;
};

TEST(Dispatch, OwnEntriesFirstThenMixinsInTheClassesOrderAndTheFirstAnswerWins)
{
    MixedDlg dialog;
    std::vector<std::string> seen;
    dialog.body = [&](HWND window) {
        dialog.log.clear();
        for (UINT message : {kForOwn, kForFirst, kForSecond, kForNobody}) {
            const LRESULT answer = SendMessageA(window, message, 0, 0);
            for (const auto& line : dialog.log)
                seen.push_back(line);
            seen.push_back("=> " + Hex(answer));
            dialog.log.clear();
        }
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    const std::vector<std::string> expected = {
        MapLine("own", kForOwn, 0),     "=> 0x101",
        MapLine("own", kForFirst, 0),   MapLine("first", kForFirst, 0),  "=> 0x202",
        MapLine("own", kForSecond, 0),  MapLine("first", kForSecond, 0), MapLine("second", kForSecond, 0),
        "=> 0x303",
        MapLine("own", kForNobody, 0),  MapLine("first", kForNobody, 0), MapLine("second", kForNobody, 0),
        "=> 0x0",
    };
    EXPECT_EQ(expected, seen);
}

TEST(Dispatch, FrameworkAsksEveryMapWithIdZeroOnly)
{
    MixedDlg dialog;
    dialog.body = [](HWND) {};
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    ASSERT_FALSE(dialog.log.empty());
    for (const auto& line : dialog.log)
        EXPECT_EQ("map0", line.substr(line.size() - 4)) << line;
}

TEST(Dispatch, EveryMessageMapSlotLeadsToTheClassesCompleteMap)
{
    MixedDlg dialog;
    LRESULT result = 0;
    CMessageMap& frameworkSlot = static_cast<CWindowImplRoot<CWindow>&>(dialog);
    CMessageMap& mixinSlot = static_cast<FirstMixin<MixedDlg>&>(dialog);
    EXPECT_TRUE(frameworkSlot.RouteMessage(nullptr, kForSecond, 0, 0, result, 0));
    EXPECT_EQ(0x303, result);
    EXPECT_TRUE(mixinSlot.RouteMessage(nullptr, kForSecond, 0, 0, result, 0));
    const std::vector<std::string> expected = {
        MapLine("own", kForSecond, 0), MapLine("first", kForSecond, 0), MapLine("second", kForSecond, 0),
        MapLine("own", kForSecond, 0), MapLine("first", kForSecond, 0), MapLine("second", kForSecond, 0),
    };
    EXPECT_EQ(expected, dialog.log);
}

// Every map of the program declines a map identifier other than 0, at once
// and without touching the result, for messages that it takes with 0.
TEST(ProgramMaps, DeclineEveryMapIdentifierButZero)
{
    CMainDlg mainDlg;
    CBmpBtn button;
    Canvas canvas(8, 8);
    canvas.Fill(RGB(255, 255, 255));
    HWND holder = CreateHolderWindow();
    HWND text = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 10, 10, holder, nullptr, nullptr, nullptr);
    const WPARAM dc = reinterpret_cast<WPARAM>(canvas.Dc());

    struct Probe { const char* name; CMessageMap* map; std::vector<UINT> messages; };
    const std::vector<UINT> dialogMessages = {WM_ERASEBKGND, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG};
    const Probe probes[] = {
        {"CMainDlg", static_cast<CWindowImplRoot<CWindow>*>(&mainDlg), dialogMessages},
        {"CCHECKDlg", static_cast<CWindowImplRoot<CWindow>*>(&g_checkDlg), dialogMessages},
        {"CABOUTDlg", static_cast<CWindowImplRoot<CWindow>*>(&g_aboutDlg), dialogMessages},
        {"CNETFLAGDlg", static_cast<CWindowImplRoot<CWindow>*>(&g_netFlagDlg), dialogMessages},
        {"CBmpBtn", static_cast<CMessageMap*>(&button), {WM_ERASEBKGND, WM_UPDATEUISTATE, WM_MOUSELEAVE}},
    };
    for (const Probe& probe : probes) {
        int takenWithZero = 0;
        for (UINT message : probe.messages) {
            const LPARAM lParam = message == WM_CTLCOLORSTATIC ? reinterpret_cast<LPARAM>(text) : 0;
            for (DWORD mapId : {1u, 2u, 0xFFFFFFFFu}) {
                LRESULT result = 0x0BADF00D;
                EXPECT_FALSE(probe.map->RouteMessage(nullptr, message, dc, lParam, result, mapId))
                    << probe.name << " took " << MessageName(message) << " with map " << mapId;
                EXPECT_EQ(0x0BADF00D, result) << probe.name << " " << MessageName(message);
            }
            LRESULT result = 0;
            if (probe.map->RouteMessage(nullptr, message, dc, lParam, result, 0))
                ++takenWithZero;
        }
        EXPECT_GT(takenWithZero, 0) << probe.name << " takes none of the messages: the probe proves nothing";
    }
    DestroyWindow(holder);
}

// Each message gets its own record; a message sent while another is being
// handled nests, and the outer record is current again afterwards.
TEST(Dispatch, MessageRecordsNestAndTheOuterOneIsRestored)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    std::vector<std::string> seen;
    auto describe = [&](const char* when) {
        const MessageRecord* record = dialog.CurrentMessage();
        if (record == nullptr) {
            seen.push_back(std::string(when) + ": none");
            return;
        }
        char text[160];
        std::snprintf(text, sizeof text, "%s: %s w=%llu l=%lld own=%d time=%lu pt=%ld,%ld size=%u handled=%d", when,
                      MessageName(record->message).c_str(), static_cast<unsigned long long>(record->wParam),
                      static_cast<long long>(record->lParam), record->hwnd == dialog.m_hWnd,
                      static_cast<unsigned long>(record->time), record->pt.x, record->pt.y, record->size,
                      record->handled);
        seen.push_back(text);
    };
    dialog.handler = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_TEST_PROBE) {
            describe("outer before");
            SendMessageA(dialog.m_hWnd, WM_TEST_OTHER, 7, -8);
            describe("outer after");
            result = 0;
            return TRUE;
        }
        if (message == WM_TEST_OTHER) {
            describe("inner");
            result = 0;
            return TRUE;
        }
        return FALSE;
    };
    dialog.body = [&](HWND window) {
        describe("body");
        SendMessageA(window, WM_TEST_PROBE, 5, 6);
        describe("body again");
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    describe("after the run");
    const unsigned size = sizeof(MessageRecord);
    auto line = [&](const char* when, UINT message, int w, int l) {
        char text[160];
        std::snprintf(text, sizeof text, "%s: %s w=%d l=%d own=1 time=0 pt=0,0 size=%u handled=1", when,
                      MessageName(message).c_str(), w, l, size);
        return std::string(text);
    };
    const std::vector<std::string> expected = {
        line("body", WM_TEST_RUN, 0, 0),         line("outer before", WM_TEST_PROBE, 5, 6),
        line("inner", WM_TEST_OTHER, 7, -8),     line("outer after", WM_TEST_PROBE, 5, 6),
        line("body again", WM_TEST_RUN, 0, 0),   "after the run: none",
    };
    EXPECT_EQ(expected, seen);
}

}  // namespace
