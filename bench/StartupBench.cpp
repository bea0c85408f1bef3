// Start-up time: from CreateProcess to the main dialog being visible, for
// NetChange and for the bare dialog program, alternating, in one run. The
// programs are taken from `folder` (the i686 build's, say), else from beside
// this one.
//   startup_bench.exe [rounds] [folder]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Program
{
    const char* name;
    std::string path;
    std::string title;  // code page 936
    std::vector<double> ms;
};

std::string g_folder;

std::string Beside(const char* file)
{
    if (!g_folder.empty())
        return g_folder + "\\" + file;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string here = path;
    return here.substr(0, here.find_last_of('\\') + 1) + file;
}

struct Search
{
    DWORD pid;
    const std::string* title;
    bool found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window))
        return TRUE;
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (*search->title == caption) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

double Measure(const Program& program)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + program.path + "\"";
    const std::string folder = program.path.substr(0, program.path.find_last_of('\\'));
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
        return -1;
    Search search = {info.dwProcessId, &program.title, false};
    double elapsed = -1;
    for (;;) {
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (search.found) {
            elapsed = ms;
            break;
        }
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(info.hProcess, &code);
            std::printf("startup: %s ended with code %lu before showing its dialog\n", program.name, code);
            break;
        }
        if (ms > 20000)
            break;
        Sleep(1);
    }
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    if (argc > 2)
        g_folder = argv[2];
    Program programs[] = {
        {"NetChange", Beside("NetChange.exe"), "VELMOR隔离卡参数设置", {}},
        {"bare dialog", Beside("bare_dialog.exe"), "基准对话框", {}},
        {"bare dialog doing the same start-up work", Beside("bare_dialog_same_work.exe"), "基准对话框", {}},
    };
    constexpr int kPrograms = 3;
    // One unmeasured start each: the first start of a program pays for
    // loading it from disk.
    for (Program& program : programs)
        Measure(program);
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < kPrograms; ++i) {
            Program& program = programs[(round + i) % kPrograms];
            const double ms = Measure(program);
            if (ms < 0) {
                std::printf("startup: %s did not show its dialog\n", program.name);
                return 1;
            }
            program.ms.push_back(ms);
            Sleep(150);
        }
    }
    const double ours = Median(programs[0].ms);
    const double bare = Median(programs[1].ms);
    const double same = Median(programs[2].ms);
    std::printf("startup   NetChange %.1f ms, bare dialog %.1f ms (medians of %d): ratio %.3f (target <= 1.10)\n", ours,
                bare, rounds, ours / bare);
    std::printf("startup   NetChange %.1f ms, bare dialog doing the same start-up work %.1f ms: ratio %.3f\n", ours, same,
                ours / same);
    return 0;
}
