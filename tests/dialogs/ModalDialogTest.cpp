// What the settings dialog and the About box have in common, run for real:
// where they stand, their icons and background, the keys that end them, and
// one window per object at a time.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "support/Canvas.h"
#include "support/ModalDriver.h"
#include "support/Text.h"

namespace {

struct Dialog
{
    const char* name;
    const char* title;  // code page 936
    INT_PTR (*run)(HWND owner);
    bool (*isOpen)();
};

void PrintTo(const Dialog& dialog, std::ostream* out)
{
    *out << dialog.name;
}

const Dialog kDialogs[] = {
    {"Settings", "设置", [](HWND owner) { return g_checkDlg.RunModal(owner, 0); }, [] { return g_checkDlg.IsOpen(); }},
    {"About", "关于", [](HWND owner) { return g_aboutDlg.RunModal(owner, 0); }, [] { return g_aboutDlg.IsOpen(); }},
};

// The settings dialog keeps its file beside the running program, this one.
std::string IniBesideThisProgram()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string path = module;
    return path.substr(0, path.rfind('\\') + 1) + "CHECKCDROM.ini";
}

SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (icon != nullptr && GetIconInfo(icon, &info)) {
        GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

// A plain top-level window to own the dialog.
struct OwnerWindow
{
    explicit OwnerWindow(bool visible)
        : window(CreateWindowExA(0, "STATIC", "owner", WS_POPUP | (visible ? WS_VISIBLE : 0), 60, 50, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};

class ModalDialog : public testing::TestWithParam<Dialog>
{
protected:
    void SetUp() override { DeleteFileA(IniBesideThisProgram().c_str()); }
    void TearDown() override { DeleteFileA(IniBesideThisProgram().c_str()); }

    ModalRun Run(const std::function<void(HWND)>& act, HWND owner = nullptr)
    {
        return DriveModal([&] { return GetParam().run(owner); }, act);
    }

    static void Close(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }
};

// Centred in the work area without an owner or with a hidden one, over a
// visible owner, which then owns it.
TEST_P(ModalDialog, StandsCentredOverAVisibleOwnerElseInTheWorkArea)
{
    for (int owned : {0, 1, 2}) {
        SCOPED_TRACE(owned == 0 ? "no owner" : owned == 1 ? "hidden owner" : "visible owner");
        OwnerWindow owner(owned == 2);
        RECT rect = {};
        HWND actualOwner = nullptr;
        std::string title;
        const ModalRun run = Run(
            [&](HWND dialog) {
                GetWindowRect(dialog, &rect);
                actualOwner = GetWindow(dialog, GW_OWNER);
                title = TextOf(dialog);
                Close(dialog);
            },
            owned == 0 ? nullptr : owner.window);
        ASSERT_TRUE(run.acted) << "the dialog never appeared";
        RECT ownerRect = {};
        GetWindowRect(owner.window, &ownerRect);
        const POINT expected = CentredPosition(rect, owned == 2 ? ownerRect : WorkArea(), WorkArea());
        EXPECT_NEAR(expected.x, rect.left, 1);
        EXPECT_NEAR(expected.y, rect.top, 1);
        EXPECT_EQ(owned == 0 ? nullptr : owner.window, actualOwner);
        EXPECT_EQ(Utf8From936(GetParam().title), Utf8From936(title));
    }
}

TEST_P(ModalDialog, CarriesTheProgramIconBigAndSmall)
{
    HICON big = nullptr;
    HICON small = nullptr;
    Run([&](HWND dialog) {
        big = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        Close(dialog);
    });
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    EXPECT_NE(big, small) << "each at its own size";
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), IconSize(big).cx);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconSize(small).cx);
}

// At 100 % the dialog's font fits every text, which keeps it.
TEST_P(ModalDialog, AtOneHundredPercentEveryTextKeepsTheDialogFont)
{
    int refitted = -1;
    Run([&](HWND dialog) {
        const LRESULT font = SendMessageA(dialog, WM_GETFONT, 0, 0);
        refitted = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            refitted += SendMessageA(child, WM_GETFONT, 0, 0) != font;
        Close(dialog);
    });
    EXPECT_EQ(0, refitted);
}

TEST_P(ModalDialog, BackgroundIsTheLightGrey)
{
    COLORREF pixel = CLR_INVALID;
    Run([&](HWND dialog) {
        Canvas canvas(16, 16);
        canvas.Fill(RGB(0, 0, 0));
        SendMessageA(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
        pixel = canvas.At(3, 3);
        Close(dialog);
    });
    EXPECT_EQ(Hex(0xF3F2F0), Hex(pixel));
}

// Enter on opening: the focus is on the first tab stop, OK, and Enter is OK.
TEST_P(ModalDialog, EnterOnOpeningActsAsOk)
{
    HWND focus = nullptr;
    HWND ok = nullptr;
    const ModalRun run = Run([&](HWND dialog) {
        focus = GetFocus();
        ok = GetDlgItem(dialog, IDOK);
        PostKey(focus, VK_RETURN);
    });
    EXPECT_EQ(ok, focus);
    EXPECT_EQ(IDOK, run.result);
}

TEST_P(ModalDialog, EscCloseBoxAndCloseMessageEndItWithCancel)
{
    for (int way : {0, 1, 2}) {
        SCOPED_TRACE(way == 0 ? "Esc" : way == 1 ? "close box" : "WM_CLOSE");
        const ModalRun run = Run([way](HWND dialog) {
            if (way == 0)
                PostKey(GetFocus(), VK_ESCAPE);
            else
                PostMessageA(dialog, way == 1 ? WM_SYSCOMMAND : WM_CLOSE, way == 1 ? SC_CLOSE : 0, 0);
        });
        EXPECT_EQ(IDCANCEL, run.result);
        EXPECT_FALSE(run.stuck);
    }
}

// One object is one window: a second run while the first is open is
// refused, and once it has closed the object runs again, as often as asked.
TEST_P(ModalDialog, SecondRunWhileOpenIsRefusedAndItRunsAgainAfterItClosed)
{
    INT_PTR nested = 0;
    DWORD nestedError = 0;
    const ModalRun run = Run([&](HWND dialog) {
        SetLastError(0);
        nested = GetParam().run(nullptr);
        nestedError = GetLastError();
        Close(dialog);
    });
    EXPECT_EQ(-1, nested);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUSY), nestedError);
    EXPECT_EQ(1, run.dialogsActivated);
    for (int i = 0; i < 3; ++i) {
        const ModalRun again = Run([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
        EXPECT_EQ(IDOK, again.result) << "run " << i;
        EXPECT_NE(nullptr, again.window) << "run " << i;
    }
    EXPECT_FALSE(GetParam().isOpen());
}

INSTANTIATE_TEST_SUITE_P(Both, ModalDialog, testing::ValuesIn(kDialogs),
                         [](const testing::TestParamInfo<Dialog>& param) { return std::string(param.param.name); });

}  // namespace
