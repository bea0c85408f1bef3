// Starts NetChange on the Wine desktop, brings up each of its windows in
// turn and saves a picture of the screen around it: the pictures shown in
// the README. Run by scripts/screenshots.sh, which converts them to PNG.
//   screenshots.exe <output folder>
// A picture that cannot show what it is named for is not saved, and the
// tool then fails.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "panel/PanelMessages.h"

namespace {

constexpr DWORD kStartMs = 10000;
constexpr char kPanelClass[] = "#32770";
constexpr char kMenuClass[] = "#32768";

// Dispatches this thread's messages until `done` or `ms` have passed.
bool WaitUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (done())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(10);
    }
}

// A visible top-level window of process `pid` with this class and, when
// given, this caption; the captionless dialog when `title` is "".
HWND FindWindowOf(DWORD pid, const char* className, const char* title = nullptr)
{
    struct Search
    {
        DWORD pid;
        const char* className;
        const char* title;
        HWND found;
    } search = {pid, className, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            char name[32] = {};
            char caption[256] = {};
            GetWindowThreadProcessId(window, &owner);
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, caption, sizeof caption);
            if (owner == s->pid && IsWindowVisible(window) && lstrcmpA(name, s->className) == 0 &&
                (s->title == nullptr || lstrcmpA(caption, s->title) == 0))
                s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// NetChange.exe, copied from beside this tool into a folder of its own
// (where it keeps its settings file) and started there; ended when done.
class Program
{
public:
    explicit Program(const std::string& name)
    {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string built = std::string(self).substr(0, std::string(self).rfind('\\') + 1) + "NetChange.exe";
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + name + "\\";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        const std::string exe = m_folder + "NetChange.exe";
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        m_started = CopyFileA(built.c_str(), exe.c_str(), FALSE) &&
                    CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   m_folder.c_str(), &startup, &m_process);
    }
    ~Program()
    {
        if (m_started) {
            PostMessageA(Panel(), WM_COMMAND, ID_MENU_QUIT, 0);
            if (WaitForSingleObject(m_process.hProcess, 5000) != WAIT_OBJECT_0)
                TerminateProcess(m_process.hProcess, 0);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
        DeleteFileA((m_folder + "NetChange.exe").c_str());
        DeleteFileA((m_folder + "CHECKCDROM.ini").c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND Find(const char* className, const char* title = nullptr) const
    {
        return m_started ? FindWindowOf(m_process.dwProcessId, className, title) : nullptr;
    }
    HWND Panel() const { return Find(kPanelClass, kPanelTitle); }
    // Up once the panel shows and the flag has moved to its corner.
    bool Up() const
    {
        return WaitUntil(
            [&] {
                HWND flag = Find(kPanelClass, "");
                RECT rect = {};
                return Panel() != nullptr && flag != nullptr && GetWindowRect(flag, &rect) &&
                       rect.left > GetSystemMetrics(SM_CXSCREEN) / 2;
            },
            kStartMs);
    }

private:
    std::string m_folder;
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};

// The screen's rectangle `area` as a 24-bit BMP file.
bool SaveScreen(RECT area, const std::string& path)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    HBITMAP picture = CreateCompatibleBitmap(desktop, width, height);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, desktop, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, picture, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, desktop);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    const bool saved = out != nullptr && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&header, sizeof header, 1, out) == 1 &&
                       std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    if (out != nullptr)
        std::fclose(out);
    std::printf("%s %s (%dx%d)\n", saved ? "saved" : "FAILED", path.c_str(), width, height);
    return saved;
}

RECT Around(HWND window, int margin)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    InflateRect(&rect, margin, margin);
    return rect;
}

RECT Union(RECT a, RECT b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

// A popup menu is on the screen, not only created: its rectangle shows the
// menu's background and, on it, the text of its items.
bool ShowsItsItems(HWND menu)
{
    RECT rect;
    if (menu == nullptr || !IsWindowVisible(menu) || !GetWindowRect(menu, &rect))
        return false;
    const COLORREF background = GetSysColor(COLOR_MENU);
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    HDC screen = GetDC(nullptr);
    int backgroundPixels = 0;
    int textPixels = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            backgroundPixels += pixel == background;
            textPixels += pixel == text;
        }
    ReleaseDC(nullptr, screen);
    const int all = (rect.right - rect.left) * (rect.bottom - rect.top);
    return backgroundPixels * 2 > all && textPixels * 50 > all;
}

// Sets the session's DPI for the programs started meanwhile; puts it back.
class Dpi
{
public:
    explicit Dpi(DWORD dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &m_key, nullptr);
        m_had = RegQueryValueExA(m_key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&m_old), &m_size) ==
                ERROR_SUCCESS;
        RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~Dpi()
    {
        if (m_had)
            RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            RegDeleteValueA(m_key, "LogPixels");
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
    DWORD m_old = 0;
    DWORD m_size = sizeof m_old;
    bool m_had = false;
};

// Opens a secondary dialog by its tray command and saves it.
bool SaveDialog(const Program& program, WORD command, const char* title, RECT extra, const std::string& path)
{
    HWND panel = program.Panel();
    PostMessageA(panel, WM_COMMAND, command, 0);
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = program.Find(kPanelClass, title)) != nullptr; }, 5000))
        return false;
    WaitUntil([] { return false; }, 800);
    RECT area = Around(dialog, 24);
    if (!IsRectEmpty(&extra))
        area = Union(area, extra);
    const bool saved = SaveScreen(area, path);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(dialog); }, 3000);
    return saved;
}

// Every window with a picture or text at a scaling: 125 % (120 DPI), what
// Windows XP and 7 give a program by default on many screens, 150 % (144),
// 200 % (192), what many laptops ship with.
bool SaveScaled(const std::string& out, int dpi)
{
    Dpi scaling(static_cast<DWORD>(dpi));
    const std::string suffix = "-" + std::to_string(dpi) + "dpi";
    Program program("screenshots" + suffix);
    if (!program.Up())
        return false;
    WaitUntil([] { return false; }, 1500);
    return SaveScreen(Around(program.Panel(), 24), out + "main-dialog" + suffix + ".bmp") &&
           SaveScreen(Around(program.Find(kPanelClass, ""), 24), out + "flag-window" + suffix + ".bmp") &&
           SaveDialog(program, ID_MENU_SETTINGS, "设置", RECT{}, out + "settings-dialog" + suffix + ".bmp") &&
           SaveDialog(program, ID_MENU_ABOUT, "关于", RECT{}, out + "about-dialog" + suffix + ".bmp");
}

// Every window at 100 %: the panel, the flag, both dialogs, the tray menu
// and the whole desktop.
bool SaveAtHundredPercent(const std::string& out)
{
    Program program("screenshots");
    if (!program.Up())
        return false;
    WaitUntil([] { return false; }, 1500);
    HWND panel = program.Panel();
    bool ok = SaveScreen(Around(panel, 24), out + "main-dialog.bmp") &&
              SaveScreen(Around(program.Find(kPanelClass, ""), 24), out + "flag-window.bmp");
    ok = ok && SaveDialog(program, ID_MENU_SETTINGS, "设置", Around(panel, 8), out + "settings-dialog.bmp");
    ok = ok && SaveDialog(program, ID_MENU_ABOUT, "关于", RECT{}, out + "about-dialog.bmp");

    // The tray menu opens at the cursor, as over the icon in the corner.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    SetCursorPos(width - 12, height - 10);
    PostMessageA(panel, WM_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    if (WaitUntil([&] { return ShowsItsItems(program.Find(kMenuClass)); }, 5000)) {
        ok = SaveScreen({width - 320, height - 160, width, height}, out + "tray-menu.bmp") && ok;
    } else {
        std::printf("FAILED: the tray menu did not show its items\n");
        ok = false;
    }
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    WaitUntil([] { return false; }, 300);
    return ok && SaveScreen({0, 0, width, height}, out + "desktop.bmp");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots.exe <output folder> [DPI...]\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "\\";
    // One program at a time: a second copy would only exit. Without DPIs:
    // 100 %, 125 % and 150 %; the larger ones need a larger screen.
    if (argc == 2)
        return SaveAtHundredPercent(out) && SaveScaled(out, 120) && SaveScaled(out, 144) ? 0 : 1;
    for (int i = 2; i < argc; ++i)
        if (!SaveScaled(out, std::atoi(argv[i])))
            return 1;
    return 0;
}
