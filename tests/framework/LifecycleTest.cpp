// A dialog object's life: registered, bound on the first message, unbound
// once the window has gone and its last message returned, and run again.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <string>
#include <vector>

#include "Probes.h"
#include "framework/CDialogImpl.h"
#include "framework/CreationRegistry.h"
#include "framework/ModuleRecord.h"
#include "framework/TestDialogs.h"

namespace {

constexpr WORD kDestroyCommand = 77;

std::string Flags(const char* when, bool bound, DWORD state, bool exists)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s: bound=%d gone=%lu window exists=%d", when, bound ? 1 : 0,
                  static_cast<unsigned long>(state & 1), exists ? 1 : 0);
    return text;
}

// The map destroys its own window from inside a command: WM_NCDESTROY comes
// nested in the command, and the object must stay bound until the command
// returns.
TEST(Lifecycle, DestroyInsideACommandDefersTheUnbindingUntilTheCommandReturns)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    std::vector<std::string> seen;
    HWND window = nullptr;
    dialog.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        switch (message) {
        case WM_INITDIALOG:
            window = dialog.m_hWnd;
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(kDestroyCommand, BN_CLICKED), 0);
            result = TRUE;
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != kDestroyCommand)
                return FALSE;
            seen.push_back(Flags("command begins", dialog.m_hWnd == window, dialog.State(), true));
            DestroyWindow(window);
            seen.push_back(Flags("command after DestroyWindow", dialog.m_hWnd == window, dialog.State(),
                                 IsWindow(window) != FALSE));
            // The modal loop notices a vanished window only on its next message.
            PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
            result = 0;
            return TRUE;
        case WM_DESTROY:
        case WM_NCDESTROY:
            seen.push_back(Flags(MessageName(message).c_str(), dialog.m_hWnd == window, dialog.State(), true));
            return FALSE;
        default:
            return FALSE;
        }
    };
    dialog.afterLast = [&](HWND old) {
        seen.push_back(Flags(old == window ? "after last message, old window" : "after last message, STRANGER",
                             dialog.m_hWnd != nullptr, dialog.State(), IsWindow(old) != FALSE));
    };
    dialog.RunModal(nullptr);

    const std::vector<std::string> expected = {
        "command begins: bound=1 gone=0 window exists=1",
        "WM_DESTROY: bound=1 gone=0 window exists=1",
        "WM_NCDESTROY: bound=1 gone=0 window exists=1",
        "command after DestroyWindow: bound=1 gone=1 window exists=0",
        "after last message, old window: bound=0 gone=0 window exists=0",
    };
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(0u, dialog.State());
    EXPECT_EQ(nullptr, dialog.CurrentMessage());
    ASSERT_EQ(1u, dialog.lastMessages.size());
    EXPECT_EQ(window, dialog.lastMessages[0]);

    // The object is free again: a second run binds and ends normally.
    EntryTrampoline* stub = dialog.Trampoline();
    dialog.handler = nullptr;
    HWND second = nullptr;
    dialog.body = [&](HWND w) { second = w; };
    EXPECT_EQ(1, dialog.RunModal(nullptr));
    EXPECT_EQ(stub, dialog.Trampoline());
    EXPECT_NE(nullptr, second);
    EXPECT_NE(window, second);
    EXPECT_EQ(2u, dialog.lastMessages.size());
}

// Ended the usual way, WM_NCDESTROY is the outermost message: the object is
// unbound as soon as it returns, with AfterLastMessage called once.
TEST(Lifecycle, NcDestroyAsTheOutermostMessageUnbindsRightAfterIt)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    std::vector<std::string> seen;
    HWND window = nullptr;
    dialog.body = [&](HWND w) { window = w; };
    dialog.handler = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_NCDESTROY)
            seen.push_back(Flags("WM_NCDESTROY", dialog.m_hWnd == window, dialog.State(), true));
        return FALSE;
    };
    dialog.afterLast = [&](HWND old) {
        seen.push_back(Flags(old == window ? "after last message, old window" : "after last message, STRANGER",
                             dialog.m_hWnd != nullptr, dialog.State(), IsWindow(old) != FALSE));
    };
    EXPECT_EQ(1, dialog.RunModal(nullptr));
    const std::vector<std::string> expected = {
        "WM_NCDESTROY: bound=1 gone=0 window exists=1",
        "after last message, old window: bound=0 gone=0 window exists=1",
    };
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(1u, dialog.lastMessages.size());
}

TEST(Lifecycle, AnEndedObjectRunsAgainWithTheSameStubBoundToTheNewWindow)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    std::vector<HWND> windows;
    std::vector<LONG_PTR> procedures;
    dialog.body = [&](HWND w) {
        windows.push_back(w);
        procedures.push_back(GetWindowLongPtrA(w, DWLP_DLGPROC));
    };
    EXPECT_EQ(nullptr, dialog.Trampoline());
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    EntryTrampoline* stub = dialog.Trampoline();
    ASSERT_NE(nullptr, stub);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    const size_t firstRunMessages = dialog.windows.size();

    dialog.endCode = 2;
    ASSERT_EQ(2, dialog.RunModal(nullptr));
    EXPECT_EQ(stub, dialog.Trampoline());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    ASSERT_EQ(2u, windows.size());
    EXPECT_NE(windows[0], windows[1]);
    for (LONG_PTR procedure : procedures)
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(stub), procedure);
    // Every message of the second run named the second window, none the first.
    for (size_t i = firstRunMessages; i < dialog.windows.size(); ++i)
        EXPECT_EQ(windows[1], dialog.windows[i]) << "message " << dialog.offered[i];
    EXPECT_TRUE(dialog.strangers.empty());
    EXPECT_EQ((std::vector<HWND>{windows[0], windows[1]}), dialog.lastMessages);
}

// One object is one window: a second run while the first is open is
// refused before anything is registered or created.
TEST(Lifecycle, RunModalOnAnOpenObjectRefusesWithErrorBusyAndCreatesNothing)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    INT_PTR nested = 0;
    DWORD error = 0;
    size_t created = 99;
    HWND boundDuring = nullptr;
    HWND window = nullptr;
    int bodies = 0;
    dialog.body = [&](HWND w) {
        // Were the refusal missing, the nested run would come here too.
        if (bodies++ != 0)
            return;
        window = w;
        CbtWatch watch;
        SetLastError(0);
        nested = dialog.RunModal(nullptr);
        error = GetLastError();
        created = watch.created.size();
        boundDuring = dialog.m_hWnd;
    };
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    EXPECT_EQ(-1, nested);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUSY), error);
    EXPECT_EQ(0u, created);
    EXPECT_EQ(window, boundDuring);
    int initDialogs = 0;
    for (const auto& line : dialog.offered)
        initDialogs += line == "WM_INITDIALOG";
    EXPECT_EQ(1, initDialogs);
    EXPECT_EQ(1, bodies);

    // Nothing of the refused run is left to bind: the object runs again.
    dialog.endCode = 3;
    EXPECT_EQ(3, dialog.RunModal(nullptr));
}

void CALLBACK EndUnboundDialog(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    EndDialog(window, 77);
}

struct UnboundRun
{
    INT_PTR result = 0;
    LONG_PTR procedureWhenShown = 0;
};

// Runs a dialog with FirstMessageProcedure but no object registered: it
// must stay unbound; a timer ends it from outside.
UnboundRun RunUnregisteredDialog()
{
    UnboundRun run;
    CbtWatch watch([&](HWND window) {
        if (run.procedureWhenShown == 0) {
            run.procedureWhenShown = GetWindowLongPtrA(window, DWLP_DLGPROC);
            SetTimer(window, 1, 0, &EndUnboundDialog);
        }
    });
    run.result = DialogBoxParamA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(IDD_TEST_PLAIN), nullptr,
                                 &CDialogImplBaseT<CWindow>::FirstMessageProcedure, 0);
    return run;
}

TEST(Lifecycle, FirstMessageWithoutARegisteredObjectLeavesTheWindowUnbound)
{
    const UnboundRun run = RunUnregisteredDialog();
    EXPECT_EQ(77, run.result);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&CDialogImplBaseT<CWindow>::FirstMessageProcedure), run.procedureWhenShown);
}

// A template that does not exist: DialogBoxParamA fails, RunModal passes
// the failure on unchanged and withdraws its registration, so no later
// window of the thread can bind the object.
TEST(Lifecycle, FailedCreationPassesTheFailureOnAndLeavesNoRegistrationBehind)
{
    SetLastError(0);
    const INT_PTR direct = DialogBoxParamA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(IDD_TEST_ABSENT),
                                           nullptr, &CDialogImplBaseT<CWindow>::FirstMessageProcedure, 0);
    const DWORD directError = GetLastError();

    ProbeDialog<IDD_TEST_ABSENT> absent;
    for (int attempt = 0; attempt < 3; ++attempt) {
        SetLastError(0);
        EXPECT_EQ(direct, absent.RunModal(nullptr)) << "attempt " << attempt;
        EXPECT_EQ(directError, GetLastError()) << "attempt " << attempt;
    }
    EXPECT_EQ(nullptr, absent.m_hWnd);

    const UnboundRun run = RunUnregisteredDialog();
    EXPECT_EQ(77, run.result);
    EXPECT_TRUE(absent.offered.empty()) << "the failed object was bound to a later window, first message "
                                        << absent.offered.front();
    EXPECT_EQ(nullptr, absent.m_hWnd);

    // And another object still binds as usual.
    ProbeDialog<IDD_TEST_PLAIN> plain;
    plain.body = [](HWND) {};
    EXPECT_EQ(1, plain.RunModal(nullptr));
    EXPECT_TRUE(absent.offered.empty());
}

// A dialog run from inside another's handler (the program's settings and
// About boxes): the newest registration of the thread is the inner one.
TEST(Lifecycle, ANestedRunBindsTheInnerObjectAndLeavesTheOuterOneBound)
{
    ProbeDialog<IDD_TEST_PLAIN> outer;
    ProbeDialog<IDD_TEST_CONTROLS> inner;
    HWND outerWindow = nullptr;
    HWND innerWindow = nullptr;
    HWND innerOwner = nullptr;
    HWND outerDuringInner = nullptr;
    inner.endCode = 5;
    inner.body = [&](HWND w) {
        innerWindow = w;
        innerOwner = GetWindow(w, GW_OWNER);
        outerDuringInner = outer.m_hWnd;
    };
    INT_PTR innerResult = 0;
    outer.body = [&](HWND w) {
        outerWindow = w;
        innerResult = inner.RunModal(w);
    };
    ASSERT_EQ(1, outer.RunModal(nullptr));
    EXPECT_EQ(5, innerResult);
    EXPECT_EQ(outerWindow, innerOwner);
    EXPECT_EQ(outerWindow, outerDuringInner);
    EXPECT_TRUE(outer.strangers.empty());
    EXPECT_TRUE(inner.strangers.empty());
    for (HWND w : outer.windows)
        EXPECT_EQ(outerWindow, w);
    for (HWND w : inner.windows)
        EXPECT_EQ(innerWindow, w);
    EXPECT_TRUE(inner.Saw(WM_INITDIALOG));
}

TEST(Registry, TakesTheCallingThreadsNewestEntryAndNeverAnotherThreads)
{
    CreationRegistry registry;
    CreationEntry older;
    CreationEntry newer;
    CreationEntry foreign;
    int a = 0;
    int b = 0;
    int c = 0;
    void* takenThere = nullptr;
    void* leftThere = &c;
    HANDLE registered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE mayTake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // The other thread stays alive throughout, so no thread can come to
    // share its identifier.
    std::thread other([&] {
        registry.Register(foreign, &c);
        SetEvent(registered);
        WaitForSingleObject(mayTake, INFINITE);
        takenThere = registry.TakeForCurrentThread();
        leftThere = registry.TakeForCurrentThread();
    });
    registry.Register(older, &a);
    WaitForSingleObject(registered, INFINITE);
    registry.Register(newer, &b);
    EXPECT_EQ(&b, registry.TakeForCurrentThread());
    EXPECT_EQ(&a, registry.TakeForCurrentThread());
    EXPECT_EQ(nullptr, registry.TakeForCurrentThread());
    SetEvent(mayTake);
    other.join();
    EXPECT_EQ(&c, takenThere);
    EXPECT_EQ(nullptr, leftThere);

    // A withdrawn entry is gone; withdrawing one that is not there is harmless.
    registry.Register(older, &a);
    registry.Withdraw(older);
    registry.Withdraw(older);
    EXPECT_EQ(nullptr, registry.TakeForCurrentThread());
    CloseHandle(registered);
    CloseHandle(mayTake);
}

// An older registration of the thread is still waiting (its window has not
// had a first message yet): a new run binds the newest, its own object.
TEST(Lifecycle, ARunBindsTheNewestRegistrationWhenAnOlderOneIsWaiting)
{
    ProbeDialog<IDD_TEST_PLAIN> waiting;
    waiting.body = [](HWND) {};
    waiting.endCode = 8;
    CreationEntry entry;
    g_creationRegistry.Register(entry, static_cast<CDialogImplBaseT<CWindow>*>(&waiting));
    ProbeDialog<IDD_TEST_PLAIN> running;
    running.body = [](HWND) {};
    const INT_PTR result = running.RunModal(nullptr);
    g_creationRegistry.Withdraw(entry);
    EXPECT_EQ(1, result);
    EXPECT_TRUE(running.Saw(WM_INITDIALOG));
    EXPECT_TRUE(waiting.offered.empty()) << "the older registration was bound, first message "
                                         << waiting.offered.front();
}

}  // namespace
