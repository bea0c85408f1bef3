#include "Probes.h"

#include <cstdio>

BOOL ProbeControl::RouteMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    if (mapId != 0)
        return FALSE;
    if (log != nullptr && (message >= WM_APP || message == WM_DESTROY || message == WM_NCDESTROY))
        log->push_back("map " + MessageName(message));
    return handler ? handler(message, wParam, lParam, result) : FALSE;
}

void ProbeControl::AfterLastMessage(HWND old)
{
    lastMessages.push_back(old);
    if (log != nullptr)
        log->push_back("after last message");
    if (afterLast)
        afterLast(old);
}

namespace {

const char kRecorderClass[] = "FrameworkTestRecorder";
const char kPlainClass[] = "FrameworkTestPlain";
const char kHolderClass[] = "FrameworkTestHolder";

void RegisterTestClasses()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA recorder = {};
    recorder.lpfnWndProc = &RecorderProcedure;
    recorder.hInstance = GetModuleHandleA(nullptr);
    recorder.lpszClassName = kRecorderClass;
    recorder.cbWndExtra = sizeof(void*);
    RegisterClassA(&recorder);

    WNDCLASSA plain = {};
    plain.lpfnWndProc = &DefWindowProcA;
    plain.hInstance = GetModuleHandleA(nullptr);
    plain.lpszClassName = kPlainClass;
    RegisterClassA(&plain);

    WNDCLASSA holder = {};
    holder.lpfnWndProc = &DefWindowProcA;
    holder.hInstance = GetModuleHandleA(nullptr);
    holder.lpszClassName = kHolderClass;
    holder.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&holder);
    done = true;
}

}  // namespace

LRESULT CALLBACK RecorderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* log = reinterpret_cast<std::vector<std::string>*>(GetWindowLongPtrA(window, 0));
    if (log != nullptr && (message >= WM_APP || message == WM_DESTROY || message == WM_NCDESTROY)) {
        char text[64];
        std::snprintf(text, sizeof text, " %llu %llu", static_cast<unsigned long long>(wParam),
                      static_cast<unsigned long long>(lParam));
        log->push_back("prev " + MessageName(message) + text);
    }
    if (message >= WM_APP)
        return RecorderAnswer(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRecorderControl(HWND parent, std::vector<std::string>* log)
{
    RegisterTestClasses();
    return CreateWindowExA(0, kRecorderClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, parent, nullptr,
                           GetModuleHandleA(nullptr), log);
}

HWND CreatePlainControl(HWND parent)
{
    RegisterTestClasses();
    return CreateWindowExA(0, kPlainClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND CreateHolderWindow(DWORD style, HWND owner)
{
    RegisterTestClasses();
    return CreateWindowExA(0, kHolderClass, "holder", style, 100, 100, 300, 200, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND CreateTestWindow(DWORD style, HWND parent, int x, int y, int width, int height)
{
    RegisterTestClasses();
    return CreateWindowExA(0, kHolderClass, "", style, x, y, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

namespace {
thread_local CbtWatch* t_currentWatch = nullptr;
}

CbtWatch::CbtWatch(std::function<void(HWND)> onActivate)
    : m_hook(SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId())),
      m_onActivate(std::move(onActivate)),
      m_outer(t_currentWatch)
{
    t_currentWatch = this;
}

CbtWatch::~CbtWatch()
{
    UnhookWindowsHookEx(m_hook);
    t_currentWatch = m_outer;
}

LRESULT CALLBACK CbtWatch::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    for (CbtWatch* watch = t_currentWatch; watch != nullptr; watch = watch->m_outer) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND)
            watch->created.push_back(window);
        if (code == HCBT_ACTIVATE) {
            watch->activated.push_back(window);
            if (watch->m_onActivate)
                watch->m_onActivate(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
