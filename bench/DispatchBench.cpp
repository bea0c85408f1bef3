// What the framework costs per message: SendMessage round trips to a dialog
// bound by the framework (trampoline, shared dialog procedure, handler map)
// against a dialog with a plain DLGPROC doing the same switch, both on one
// thread in one run, interleaved so that drift hits both alike.
//   dispatch_bench.exe [milliseconds per round] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "DispatchBench.h"
#include "framework/CDialogImpl.h"
#include "framework/ModuleRecord.h"

namespace {

constexpr UINT WM_BENCH_FIRST = WM_USER + 1;
constexpr int kMessageKinds = 4;
constexpr int kMaxRounds = 101;
constexpr int kDirectCalls = 1000000;

// Both dialogs answer the same four messages with the same results.
LRESULT BenchAnswer(UINT message, WPARAM wParam)
{
    return static_cast<LRESULT>(wParam) * 3 + static_cast<LRESULT>(message - WM_BENCH_FIRST);
}

// Answered straight from the procedure's return value: calling the
// procedures with it measures dispatch alone, without the wineserver round
// trips that DWLP_MSGRESULT costs under Wine.
const HBRUSH g_brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

INT_PTR CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORBTN:
        return reinterpret_cast<INT_PTR>(g_brush);
    case WM_BENCH_FIRST:
    case WM_BENCH_FIRST + 1:
    case WM_BENCH_FIRST + 2:
    case WM_BENCH_FIRST + 3:
        // As the framework does: the result goes through DWLP_MSGRESULT.
        SetWindowLongPtrA(window, DWLP_MSGRESULT, BenchAnswer(message, wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

class CBenchDlg : public CDialogImpl<CBenchDlg>
{
public:
    enum { IDD = IDD_DISPATCH_BENCH };

    BOOL RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD mapId) override
    {
        if (mapId != 0)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            // Measured from a thread timer, outside any message of this
            // dialog, as another window's sender would be.
            SetTimer(nullptr, 0, 0, &MeasureFromTimer);
            result = TRUE;
            return TRUE;
        case WM_CTLCOLORBTN:
            result = reinterpret_cast<LRESULT>(g_brush);
            return TRUE;
        case WM_BENCH_FIRST:
        case WM_BENCH_FIRST + 1:
        case WM_BENCH_FIRST + 2:
        case WM_BENCH_FIRST + 3:
            result = BenchAnswer(message, wParam);
            return TRUE;
        default:
            return FALSE;
        }
    }

    static void CALLBACK MeasureFromTimer(HWND, UINT, UINT_PTR id, DWORD);

    DWORD roundMs = 300;
    int rounds = 21;
};

CBenchDlg g_benchDlg;

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Nanoseconds per round trip; `checksum` proves every message was answered.
double SendRound(HWND window, int messages, long long& checksum)
{
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < messages; ++i)
        checksum += SendMessageA(window, WM_BENCH_FIRST + (i % kMessageKinds), static_cast<WPARAM>(i), 0);
    QueryPerformanceCounter(&end);
    return Seconds(start, end) * 1e9 / messages;
}

// One round for both dialogs, in short alternating blocks until `ms` have
// passed: under Wine a round trip's cost swings several-fold within
// seconds with the machine's load, and only measurements this close in time
// see the same conditions. Returns the messages sent to each.
int PairedRound(HWND bound, HWND plain, DWORD ms, double& boundNs, double& plainNs, long long& boundSum,
                long long& plainSum)
{
    constexpr int kBlock = 50;
    double boundTotal = 0;
    double plainTotal = 0;
    int blocks = 0;
    const DWORD start = GetTickCount();
    do {
        if (blocks % 2 == 0) {
            boundTotal += SendRound(bound, kBlock, boundSum);
            plainTotal += SendRound(plain, kBlock, plainSum);
        } else {
            plainTotal += SendRound(plain, kBlock, plainSum);
            boundTotal += SendRound(bound, kBlock, boundSum);
        }
        ++blocks;
    } while (GetTickCount() - start < ms);
    boundNs = boundTotal / blocks;
    plainNs = plainTotal / blocks;
    return blocks * kBlock;
}

// The dialog procedure called as the dialog manager calls it, with a
// message whose answer is the return value: the dispatch alone.
double DirectRound(HWND window, DLGPROC procedure, int calls, long long& checksum)
{
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        checksum += procedure(window, WM_CTLCOLORBTN, static_cast<WPARAM>(i), 0) != 0;
    QueryPerformanceCounter(&end);
    return Seconds(start, end) * 1e9 / calls;
}

// What one store of a result costs: under Wine a wineserver round trip,
// which both dialogs pay on every message, and the dialog manager too.
double StoreRound(HWND window, int calls)
{
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        SetWindowLongPtrA(window, DWLP_MSGRESULT, i);
    QueryPerformanceCounter(&end);
    return Seconds(start, end) * 1e9 / calls;
}

double Median(double* values, int count)
{
    std::sort(values, values + count);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

void CALLBACK CBenchDlg::MeasureFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND bound = g_benchDlg.m_hWnd;
    HWND plain = CreateDialogParamA(g_moduleRecord.ResourceInstance(), MAKEINTRESOURCEA(IDD_DISPATCH_BENCH),
                                    nullptr, &PlainProcedure, 0);
    if (plain == nullptr) {
        std::printf("dispatch  cannot create the plain dialog (error %lu)\n", GetLastError());
        EndDialog(bound, 2);
        return;
    }
    const int rounds = g_benchDlg.rounds;
    auto boundProcedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(bound, DWLP_DLGPROC));

    long long boundSum = 0;
    long long plainSum = 0;
    // A first round each, untimed, so that both start warm.
    SendRound(bound, 500, boundSum);
    SendRound(plain, 500, plainSum);
    boundSum = plainSum = 0;

    double sendBound[kMaxRounds];
    double sendPlain[kMaxRounds];
    double sendRatio[kMaxRounds];
    double directBound[kMaxRounds];
    double directPlain[kMaxRounds];
    double store[kMaxRounds];
    long long directSum = 0;
    long long messages = 0;
    for (int round = 0; round < rounds; ++round) {
        messages += PairedRound(bound, plain, g_benchDlg.roundMs, sendBound[round], sendPlain[round], boundSum,
                                plainSum);
        sendRatio[round] = sendBound[round] / sendPlain[round];
        // Alternating which goes first cancels a trend within the run.
        if (round % 2 == 0) {
            directBound[round] = DirectRound(bound, boundProcedure, kDirectCalls, directSum);
            directPlain[round] = DirectRound(plain, &PlainProcedure, kDirectCalls, directSum);
        } else {
            directPlain[round] = DirectRound(plain, &PlainProcedure, kDirectCalls, directSum);
            directBound[round] = DirectRound(bound, boundProcedure, kDirectCalls, directSum);
        }
        store[round] = StoreRound(plain, 500);
    }
    DestroyWindow(plain);

    const double bound50 = Median(sendBound, rounds);
    const double plain50 = Median(sendPlain, rounds);
    const double paired50 = Median(sendRatio, rounds);
    const double directBound50 = Median(directBound, rounds);
    const double directPlain50 = Median(directPlain, rounds);
    std::printf("dispatch  framework %.2f us, plain DLGPROC %.2f us per SendMessage round trip (medians of %d "
                "rounds of %lu ms, %lld messages to each, interleaved in blocks of 50): ratio %.3f (median of "
                "the rounds' ratios; of the medians %.3f) (target <= 1.05)\n",
                bound50 / 1000, plain50 / 1000, rounds, static_cast<unsigned long>(g_benchDlg.roundMs), messages,
                paired50, bound50 / plain50);
    std::printf("          dispatch alone (dialog procedure called directly with WM_CTLCOLORBTN, %d calls): "
                "framework %.1f ns, plain %.1f ns per call\n",
                kDirectCalls, directBound50, directPlain50);
    std::printf("          one SetWindowLongPtrA(DWLP_MSGRESULT): %.2f us\n", Median(store, rounds) / 1000);
    if (directSum != 2LL * rounds * kDirectCalls) {
        std::printf("dispatch  a dialog procedure did not answer WM_CTLCOLORBTN\n");
        EndDialog(bound, 3);
        return;
    }
    if (boundSum != plainSum) {
        std::printf("dispatch  the two dialogs answered differently (%lld against %lld)\n", boundSum, plainSum);
        EndDialog(bound, 3);
        return;
    }
    EndDialog(bound, 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        g_benchDlg.roundMs = static_cast<DWORD>(std::max(20, std::atoi(argv[1])));
    if (argc > 2)
        g_benchDlg.rounds = std::min(kMaxRounds, std::max(1, std::atoi(argv[2])));
    const INT_PTR result = g_benchDlg.RunModal(nullptr);
    if (result != 1) {
        std::printf("dispatch  the benchmark dialog ended with %lld (error %lu)\n", static_cast<long long>(result),
                    GetLastError());
        return 1;
    }
    return 0;
}
