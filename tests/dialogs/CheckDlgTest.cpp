#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "support/ModalDriver.h"
#include "dialogs/CCHECKDlg.h"
#include "res/resource.h"
#include "support/ModulePathFake.h"
#include "support/TempFolder.h"
#include "support/Text.h"

namespace {

// The dialog reads and writes the settings file beside the running
// program, which here is this test program.
std::string IniBesideThisProgram()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    return path.substr(0, path.rfind('\\') + 1) + "CHECKCDROM.ini";
}

bool Checked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

class CheckDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = IniBesideThisProgram();
        DeleteFileA(m_ini.c_str());
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_ini.c_str())) << "cannot clear " << m_ini;
    }

    void TearDown() override { DeleteFileA(m_ini.c_str()); }

    void Store(const std::string& bytes) { ASSERT_TRUE(TempFolder::WriteFile(m_ini, bytes)); }

    bool Exists() const { return GetFileAttributesA(m_ini.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string Stored() const
    {
        std::string bytes;
        TempFolder::ReadFile(m_ini, bytes);
        return bytes;
    }

    // The value of CHECKFLAG/flag as text, "<none>" when missing.
    std::string StoredFlag() const
    {
        char value[64] = {};
        GetPrivateProfileStringA("CHECKFLAG", "flag", "<none>", value, sizeof value, m_ini.c_str());
        return value;
    }

    ModalRun Run(const std::function<void(HWND)>& act)
    {
        return DriveModal([this] { return m_dialog.RunModal(nullptr, 0); }, act);
    }

    // Opens the dialog, records which radio buttons it shows, then lets
    // `close` end it.
    ModalRun OpenAndClose(bool& check, bool& noCheck, const std::function<void(HWND)>& close)
    {
        return Run([&](HWND dialog) {
            check = Checked(dialog, IDC_RADIO_CHECK);
            noCheck = Checked(dialog, IDC_RADIO_NOCHECK);
            close(dialog);
        });
    }

    CCHECKDlg m_dialog;
    std::string m_ini;
};

// ---- Opening: the stored value selects a radio button ----------------------------

TEST_F(CheckDialog, FreshInstallationSelectsNoCheckAndOkStoresZero)
{
    bool check = true;
    bool noCheck = false;
    const ModalRun run = OpenAndClose(check, noCheck, [](HWND dialog) { Click(dialog, IDOK); });
    ASSERT_TRUE(run.acted) << "the dialog never appeared";
    EXPECT_FALSE(check);
    EXPECT_TRUE(noCheck);
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ("0", StoredFlag());
    // One section with one key: nothing else is written.
    char sections[256] = {};
    const DWORD length = GetPrivateProfileSectionNamesA(sections, sizeof sections, m_ini.c_str());
    EXPECT_EQ(std::string("CHECKFLAG\0", 10), std::string(sections, length));
    char keys[256] = {};
    const DWORD keysLength = GetPrivateProfileSectionA("CHECKFLAG", keys, sizeof keys, m_ini.c_str());
    EXPECT_EQ(std::string("flag=0\0", 7), std::string(keys, keysLength));
}

TEST_F(CheckDialog, ChoosingCheckAndOkStoresOne)
{
    bool checkAfterClick = false;
    bool noCheckAfterClick = true;
    const ModalRun run = Run([&](HWND dialog) {
        Click(dialog, IDC_RADIO_CHECK);
        checkAfterClick = Checked(dialog, IDC_RADIO_CHECK);
        noCheckAfterClick = Checked(dialog, IDC_RADIO_NOCHECK);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(checkAfterClick);
    EXPECT_FALSE(noCheckAfterClick) << "the two radio buttons are one group";
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ("1", StoredFlag());
}

TEST_F(CheckDialog, StoredOneSelectsCheckAndChoosingNoCheckStoresZero)
{
    Store("[CHECKFLAG]\r\nflag=1\r\n");
    bool check = false;
    bool noCheck = true;
    const ModalRun run = OpenAndClose(check, noCheck, [](HWND dialog) {
        Click(dialog, IDC_RADIO_NOCHECK);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(check);
    EXPECT_FALSE(noCheck);
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ("0", StoredFlag());
}

struct Opening
{
    const char* stored;
    bool check;
    bool noCheck;
};

void PrintTo(const Opening& opening, std::ostream* out)
{
    *out << "\"" << opening.stored << "\"";
}

class CheckDialogOpening : public CheckDialog, public ::testing::WithParamInterface<Opening>
{
};

TEST_P(CheckDialogOpening, ShowsTheStoredChoice)
{
    Store(std::string("[CHECKFLAG]\r\nflag=") + GetParam().stored + "\r\n");
    bool check = !GetParam().check;
    bool noCheck = !GetParam().noCheck;
    const ModalRun run = OpenAndClose(check, noCheck, [](HWND dialog) { Click(dialog, IDCANCEL); });
    EXPECT_EQ(GetParam().check, check) << "stored \"" << GetParam().stored << "\"";
    EXPECT_EQ(GetParam().noCheck, noCheck) << "stored \"" << GetParam().stored << "\"";
    EXPECT_EQ(IDCANCEL, run.result);
}

INSTANTIATE_TEST_SUITE_P(CheckDialog, CheckDialogOpening,
                         ::testing::Values(Opening{"0", false, true}, Opening{"1", true, false},
                                           Opening{"2", false, false}, Opening{"-1", false, false},
                                           Opening{"abc", false, true}, Opening{"12abc", false, false}));

TEST_F(CheckDialog, StoredTwoAndOkLeavesTheFileAlone)
{
    const std::string before = "[CHECKFLAG]\r\nflag=2\r\n";
    Store(before);
    bool check = true;
    bool noCheck = true;
    const ModalRun run = OpenAndClose(check, noCheck, [](HWND dialog) { Click(dialog, IDOK); });
    EXPECT_FALSE(check);
    EXPECT_FALSE(noCheck);
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ(before, Stored());
}

TEST_F(CheckDialog, EveryOpeningReadsTheFileAgain)
{
    const ModalRun first = Run([](HWND dialog) {
        Click(dialog, IDC_RADIO_CHECK);
        Click(dialog, IDOK);
    });
    ASSERT_EQ(IDOK, first.result);
    ASSERT_EQ("1", StoredFlag());
    // Changed by hand while the dialog is closed.
    Store("[CHECKFLAG]\r\nflag=0\r\n");
    bool check = true;
    bool noCheck = false;
    const ModalRun second = OpenAndClose(check, noCheck, [](HWND dialog) { Click(dialog, IDCANCEL); });
    EXPECT_FALSE(check);
    EXPECT_TRUE(noCheck);
    EXPECT_EQ(IDCANCEL, second.result);
}

TEST_F(CheckDialog, OkKeepsTheFilesOtherContent)
{
    // In the layout the profile functions write, so any other change shows.
    const std::string before = "[Before]\r\nalpha=1\r\n[CHECKFLAG]\r\nother=keep\r\nflag=0\r\nmore=yes\r\n"
                               "[After]\r\nflag=0\r\n";
    Store(before);
    const ModalRun run = Run([](HWND dialog) {
        Click(dialog, IDC_RADIO_CHECK);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, run.result);
    std::string expected = before;
    expected.replace(expected.find("flag=0"), 6, "flag=1");
    EXPECT_EQ(expected, Stored());
}

// ---- A choice that cannot be stored ------------------------------------------------

struct Box
{
    HWND owner;
    std::string text, caption;
    UINT type;
};

std::vector<Box> g_boxes;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    g_boxes.push_back({owner, text, caption, type});
    return IDOK;
}

const CheckDlgApi kRecordingApi = {&kSystemModulePathApi, &RecordBox};
const CheckDlgApi kFakePathApi = {&kFakeModulePathApi, &RecordBox};

std::string SystemMessage(DWORD error)
{
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                   nullptr);
    const std::string message = text;
    return message.substr(0, message.find_last_not_of("\r\n") + 1);
}

class CheckDialogNotSaved : public CheckDialog, public ::testing::WithParamInterface<bool>
{
};

// The file held open elsewhere without write sharing (a read-only file
// would not do under Wine, whose root user writes it all the same), or a
// program path of MAX_PATH characters, from which no path can be formed.
TEST_P(CheckDialogNotSaved, OkSaysWhyAndKeepsTheDialogOpenWithTheChoice)
{
    const bool held = GetParam();
    const std::string before = "[CHECKFLAG]\r\nflag=0\r\n";
    Store(before);
    HANDLE holder = held ? CreateFileA(m_ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                       nullptr)
                         : nullptr;
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    g_modulePath = {};
    g_modulePath.path = "C:\\" + std::string(MAX_PATH - 3, 'x');
    CCHECKDlg dialog(held ? kRecordingApi : kFakePathApi);
    g_boxes.clear();
    bool open = false;
    bool checked = false;
    const ModalRun run = DriveModal([&] { return dialog.RunModal(nullptr, 0); }, [&](HWND window) {
        Click(window, IDC_RADIO_CHECK);
        Click(window, IDOK);
        open = IsWindowVisible(window) != FALSE;
        checked = Checked(window, IDC_RADIO_CHECK);
        Click(window, IDCANCEL);
    });
    DWORD error = ERROR_FILENAME_EXCED_RANGE;
    if (held) {
        // The platform's own reason for this very failure.
        SetLastError(ERROR_SUCCESS);
        WritePrivateProfileStringA("CHECKFLAG", "flag", "1", m_ini.c_str());
        error = GetLastError();
        CloseHandle(holder);
    }
    EXPECT_TRUE(open);
    EXPECT_TRUE(checked);
    EXPECT_EQ(IDCANCEL, run.result);
    EXPECT_EQ(before, Stored());
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(run.window, g_boxes[0].owner);
    EXPECT_EQ("提示", g_boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), g_boxes[0].type);
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), error);
    EXPECT_EQ(Utf8From936("设置未保存：无法写入文件\n" + (held ? m_ini : std::string("CHECKCDROM.ini")) +
                          "\n\n原因：" + SystemMessage(error) + "（错误 " + std::to_string(error) + "）"),
              Utf8From936(g_boxes[0].text));
}

INSTANTIATE_TEST_SUITE_P(CheckDialog, CheckDialogNotSaved, ::testing::Values(true, false),
                         [](const auto& held) { return std::string(held.param ? "FileHeldOpen" : "PathTooLong"); });

// ---- Closing without OK -------------------------------------------------------------

struct CancelWay
{
    const char* name;
    void (*close)(HWND dialog);
    std::vector<std::string> seen;  // by the dialog's window procedure
};

void PressCancelButton(HWND dialog)
{
    Click(dialog, IDCANCEL);
}

void SendCancelCommand(HWND dialog)
{
    // As the dialog manager sends it for Esc.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

void PressEscape(HWND)
{
    PostKey(GetFocus(), VK_ESCAPE);
}

void UseCloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SendClose(HWND dialog)
{
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void PrintTo(const CancelWay& way, std::ostream* out)
{
    *out << way.name;
}

std::string CancelWayName(const ::testing::TestParamInfo<CancelWay>& way)
{
    std::string name;
    for (const char* c = way.param.name; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    return name;
}

class CheckDialogCancel : public CheckDialog, public ::testing::WithParamInterface<CancelWay>
{
};

TEST_P(CheckDialogCancel, EndsWithCancelAndLeavesTheFileAlone)
{
    const std::string before = "[Other]\r\nkey=value\r\n[CHECKFLAG]\r\nflag=1\r\n";
    Store(before);
    bool changed = false;
    std::vector<std::string> seen;
    const ModalRun run = Run([&](HWND dialog) {
        Click(dialog, IDC_RADIO_NOCHECK);
        changed = Checked(dialog, IDC_RADIO_NOCHECK);
        RecordClosingMessages(dialog, seen);
        GetParam().close(dialog);
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(GetParam().seen, seen) << GetParam().name;
    EXPECT_EQ(IDCANCEL, run.result) << GetParam().name;
    EXPECT_EQ(before, Stored()) << GetParam().name;
}

TEST_P(CheckDialogCancel, CreatesNoFile)
{
    const ModalRun run = Run([&](HWND dialog) { GetParam().close(dialog); });
    EXPECT_EQ(IDCANCEL, run.result) << GetParam().name;
    EXPECT_FALSE(Exists()) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(CheckDialog, CheckDialogCancel,
                         ::testing::Values(
                             CancelWay{"Cancel button", &PressCancelButton, {"WM_COMMAND 2"}},
                             CancelWay{"IDCANCEL command", &SendCancelCommand, {"WM_COMMAND 2"}},
                             CancelWay{"Esc key", &PressEscape, {"WM_COMMAND 2"}},
                             CancelWay{"close box", &UseCloseBox, {"WM_SYSCOMMAND SC_CLOSE", "WM_CLOSE", "WM_COMMAND 2"}},
                             CancelWay{"WM_CLOSE", &SendClose, {"WM_CLOSE", "WM_COMMAND 2"}}),
                         CancelWayName);

// ---- Enter acts as OK ------------------------------------------------------------------

TEST_F(CheckDialog, OkIsTheDefaultButton)
{
    LRESULT defId = 0;
    LONG cancelType = -1;
    LONG okType = -1;
    const ModalRun run = Run([&](HWND dialog) {
        defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        okType = GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK;
        cancelType = GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK;
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), defId);
    // Only one button is drawn as the default.
    EXPECT_EQ(BS_DEFPUSHBUTTON, okType);
    EXPECT_EQ(BS_PUSHBUTTON, cancelType);
    EXPECT_EQ(IDCANCEL, run.result);
}

TEST_F(CheckDialog, EnterOnTheCheckRadioActsAsOk)
{
    HWND focus = nullptr;
    HWND radio = nullptr;
    std::vector<std::string> seen;
    const ModalRun run = Run([&](HWND dialog) {
        radio = GetDlgItem(dialog, IDC_RADIO_CHECK);
        Click(dialog, IDC_RADIO_CHECK);
        SetFocus(radio);
        focus = GetFocus();
        RecordClosingMessages(dialog, seen);
        PostKey(radio, VK_RETURN);
    });
    EXPECT_EQ(radio, focus);
    EXPECT_EQ(std::vector<std::string>{"WM_COMMAND 1"}, seen) << "Enter became OK, and nothing else";
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ("1", StoredFlag());
}

TEST_F(CheckDialog, EnterOnTheNoCheckRadioActsAsOk)
{
    Store("[CHECKFLAG]\r\nflag=1\r\n");
    const ModalRun run = Run([&](HWND dialog) {
        HWND radio = GetDlgItem(dialog, IDC_RADIO_NOCHECK);
        Click(dialog, IDC_RADIO_NOCHECK);
        SetFocus(radio);
        PostKey(radio, VK_RETURN);
    });
    EXPECT_EQ(IDOK, run.result);
    EXPECT_EQ("0", StoredFlag());
}

}  // namespace
