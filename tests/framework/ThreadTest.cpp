// Two threads creating dialogs at the same moment, over and over: each
// object must only ever be bound to its own thread's windows.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "framework/CDialogImpl.h"
#include "framework/TestDialogs.h"

namespace {

// Lets both threads go at once, round after round.
class Barrier
{
public:
    explicit Barrier(int parties) : m_parties(parties) {}

    void Arrive()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const unsigned round = m_round;
        if (++m_waiting == m_parties) {
            m_waiting = 0;
            ++m_round;
            m_ready.notify_all();
            return;
        }
        m_ready.wait(lock, [&] { return m_round != round; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    const int m_parties;
    int m_waiting = 0;
    unsigned m_round = 0;
};

// Ends itself from WM_INITDIALOG, before it is ever shown, and writes down
// every window and thread its map saw.
class RacingDlg : public CDialogImpl<RacingDlg>
{
public:
    enum { IDD = IDD_TEST_PLAIN };

    explicit RacingDlg(INT_PTR code) : endCode(code) {}

    BOOL RouteMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        if (window != m_hWnd || GetCurrentThreadId() != thread ||
            GetWindowThreadProcessId(window, nullptr) != thread)
            ++foreign;
        if (message != WM_INITDIALOG)
            return FALSE;
        windows.push_back(window);
        EndDialog(window, endCode);
        result = TRUE;
        return TRUE;
    }

    const INT_PTR endCode;
    DWORD thread = 0;
    int foreign = 0;  // messages naming another window or arriving on another thread
    std::vector<HWND> windows;
    std::vector<INT_PTR> results;
};

constexpr int kRuns = 50;
constexpr INT_PTR kStray = -2;

// A dialog that no object took never ends by itself; this ends the
// thread's dialogs so that such a fault fails the test instead of hanging it.
BOOL CALLBACK EndDialogOfThisThread(HWND window, LPARAM)
{
    EndDialog(window, kStray);
    return TRUE;
}

void CALLBACK EndStrayDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), &EndDialogOfThisThread, 0);
}

void RunMany(RacingDlg& dialog, Barrier& start, std::atomic<bool>& broken)
{
    dialog.thread = GetCurrentThreadId();
    for (int run = 0; run < kRuns; ++run) {
        start.Arrive();
        if (broken)
            continue;
        const UINT_PTR rescue = SetTimer(nullptr, 0, 5000, &EndStrayDialogs);
        const INT_PTR result = dialog.RunModal(nullptr);
        KillTimer(nullptr, rescue);
        dialog.results.push_back(result);
        if (result != dialog.endCode)
            broken = true;
    }
}

// The registry on its own, hammered by two threads at once: an entry lost
// or taken by the wrong thread shows up as a wrong object.
TEST(Threads, TheCreationRegistryHandsEachThreadItsOwnObject)
{
    CreationRegistry registry;
    Barrier start(2);
    std::atomic<int> wrong{0};
    auto work = [&] {
        CreationEntry entry;
        start.Arrive();
        for (int round = 0; round < 1000000; ++round) {
            registry.Register(entry, &entry);
            if (registry.TakeForCurrentThread() != &entry)
                ++wrong;
        }
    };
    std::thread one(work);
    std::thread two(work);
    one.join();
    two.join();
    EXPECT_EQ(0, wrong.load());
}

TEST(Threads, DialogsStartedAtTheSameMomentEachBindTheirOwnObject)
{
    RacingDlg first(11);
    RacingDlg second(22);
    Barrier start(2);
    std::atomic<bool> broken{false};
    std::thread one([&] { RunMany(first, start, broken); });
    std::thread two([&] { RunMany(second, start, broken); });
    one.join();
    two.join();

    for (RacingDlg* dialog : {&first, &second}) {
        SCOPED_TRACE(dialog->endCode);
        EXPECT_EQ(std::vector<INT_PTR>(kRuns, dialog->endCode), dialog->results);
        EXPECT_EQ(static_cast<size_t>(kRuns), dialog->windows.size());
        EXPECT_EQ(0, dialog->foreign);
        EXPECT_EQ(nullptr, dialog->m_hWnd);
    }
    const std::set<HWND> firstWindows(first.windows.begin(), first.windows.end());
    for (HWND window : second.windows)
        EXPECT_EQ(0u, firstWindows.count(window)) << "both objects saw window " << window;

    // The registry's list came through the race intact.
    RacingDlg third(33);
    third.thread = GetCurrentThreadId();
    EXPECT_EQ(33, third.RunModal(nullptr));
    EXPECT_EQ(0, third.foreign);
}

}  // namespace
