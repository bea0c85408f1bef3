// What the framework costs per message: SendMessage round trips to a dialog
// bound by the framework (trampoline, shared dialog procedure, handler map)
// against a dialog with a plain DLGPROC doing the same switch, both on one
// thread in one run, in alternating rounds so that drift hits both alike.
//   dispatch_bench.exe [messages per round, 0: about 0.2 s worth] [rounds]
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
LRESULT Answer(UINT message, WPARAM wParam)
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
        SetWindowLongPtrA(window, DWLP_MSGRESULT, Answer(message, wParam));
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
            result = Answer(message, wParam);
            return TRUE;
        default:
            return FALSE;
        }
    }

    static void CALLBACK MeasureFromTimer(HWND, UINT, UINT_PTR id, DWORD);

    int messages = 0;  // per round; 0: as many as take about 0.2 s
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
    // A first round each, untimed, so that both start warm; it also sizes
    // the rounds when no count was given.
    const double probe = SendRound(bound, 500, boundSum);
    SendRound(plain, 500, plainSum);
    int messages = g_benchDlg.messages;
    if (messages == 0)
        messages = std::max(2000, std::min(300000, static_cast<int>(0.2e9 / probe)));
    boundSum = plainSum = 0;

    double sendBound[kMaxRounds];
    double sendPlain[kMaxRounds];
    double sendRatio[kMaxRounds];
    double directBound[kMaxRounds];
    double directPlain[kMaxRounds];
    double store[kMaxRounds];
    long long directSum = 0;
    for (int round = 0; round < rounds; ++round) {
        // Alternating which goes first cancels a trend within the run.
        if (round % 2 == 0) {
            sendBound[round] = SendRound(bound, messages, boundSum);
            sendPlain[round] = SendRound(plain, messages, plainSum);
            directBound[round] = DirectRound(bound, boundProcedure, kDirectCalls, directSum);
            directPlain[round] = DirectRound(plain, &PlainProcedure, kDirectCalls, directSum);
        } else {
            sendPlain[round] = SendRound(plain, messages, plainSum);
            sendBound[round] = SendRound(bound, messages, boundSum);
            directPlain[round] = DirectRound(plain, &PlainProcedure, kDirectCalls, directSum);
            directBound[round] = DirectRound(bound, boundProcedure, kDirectCalls, directSum);
        }
        sendRatio[round] = sendBound[round] / sendPlain[round];
        store[round] = StoreRound(plain, messages / 4 + 1);
    }
    DestroyWindow(plain);

    const double bound50 = Median(sendBound, rounds);
    const double plain50 = Median(sendPlain, rounds);
    const double paired50 = Median(sendRatio, rounds);
    const double directBound50 = Median(directBound, rounds);
    const double directPlain50 = Median(directPlain, rounds);
    std::printf("dispatch  framework %.2f us, plain DLGPROC %.2f us per SendMessage round trip "
                "(medians of %d alternating rounds of %d): ratio %.3f, median of the rounds' ratios %.3f "
                "(target <= 1.05)\n",
                bound50 / 1000, plain50 / 1000, rounds, messages, bound50 / plain50, paired50);
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
        g_benchDlg.messages = std::max(0, std::atoi(argv[1]));
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
