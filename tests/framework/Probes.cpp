#include "Probes.h"

#include <cstdio>

std::string MessageName(UINT message)
{
    switch (message) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_INITDIALOG: return "WM_INITDIALOG";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_CTLCOLORSTATIC: return "WM_CTLCOLORSTATIC";
    case WM_CTLCOLORDLG: return "WM_CTLCOLORDLG";
    case WM_CTLCOLORBTN: return "WM_CTLCOLORBTN";
    case WM_TIMER: return "WM_TIMER";
    case WM_SETFONT: return "WM_SETFONT";
    case WM_GETTEXT: return "WM_GETTEXT";
    case WM_TEST_RUN: return "WM_TEST_RUN";
    case WM_TEST_PROBE: return "WM_TEST_PROBE";
    case WM_TEST_OTHER: return "WM_TEST_OTHER";
    case WM_TEST_NOBODY: return "WM_TEST_NOBODY";
    default: break;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", message);
    return text;
}

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
    : hook_(SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId())),
      onActivate_(std::move(onActivate)),
      outer_(t_currentWatch)
{
    t_currentWatch = this;
}

CbtWatch::~CbtWatch()
{
    UnhookWindowsHookEx(hook_);
    t_currentWatch = outer_;
}

LRESULT CALLBACK CbtWatch::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    for (CbtWatch* watch = t_currentWatch; watch != nullptr; watch = watch->outer_) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND)
            watch->created.push_back(window);
        if (code == HCBT_ACTIVATE) {
            watch->activated.push_back(window);
            if (watch->onActivate_)
                watch->onActivate_(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill) : width_(width)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const DWORD*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF MemoryCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    const DWORD bgrx = bits_[y * width_ + x];
    return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

std::string ColorName(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}
