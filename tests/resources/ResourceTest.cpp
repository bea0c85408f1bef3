#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "ResourceReader.h"
#include "res/resource.h"
#include "support/Text.h"
#include "panel/PanelMessages.h"

namespace {

const WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::string Languages(const std::vector<WORD>& languages)
{
    std::string text;
    for (WORD language : languages)
        text += std::to_string(language) + " ";
    return text;
}

// Every resource of the program exists once, in Chinese (PRC).
void ExpectOnlyChinese(LPCSTR type, int id)
{
    EXPECT_EQ(Languages({kChinesePrc}), Languages(ResourceLanguages(type, MAKEINTRESOURCEA(id))))
        << "languages of resource " << id;
}

// ---- Dialog templates ------------------------------------------------------------------

struct ExpectedDialog
{
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    const wchar_t* face;
    const wchar_t* caption;
};

struct ExpectedItem
{
    const char* className;
    int id;
    const wchar_t* text;
    DWORD style;
    short x, y, cx, cy;
    bool textIsPrefix;  // the maker's details follow the label
};

std::string Rect(short x, short y, short cx, short cy)
{
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(cx) + "x" + std::to_string(cy);
}

void LoadDialog(int id, DialogTemplate& dialog)
{
    ExpectOnlyChinese(RT_DIALOG, id);
    std::string bytes;
    ASSERT_TRUE(ResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(id), kChinesePrc, bytes)) << "dialog " << id;
    ASSERT_TRUE(ParseDialogEx(bytes, dialog)) << "dialog " << id << " is not a whole extended template";
}

void ExpectDialog(const ExpectedDialog& expected, const DialogTemplate& actual)
{
    EXPECT_EQ(Hex(expected.style), Hex(actual.style)) << "style";
    EXPECT_EQ(Hex(expected.exStyle), Hex(actual.exStyle)) << "extended style";
    EXPECT_EQ(Hex(0), Hex(actual.helpId)) << "help id";
    EXPECT_EQ(Rect(0, 0, expected.cx, expected.cy), Rect(0, 0, actual.cx, actual.cy)) << "size";
    EXPECT_EQ("", Utf8FromWide(actual.menu)) << "menu";
    EXPECT_EQ("", Utf8FromWide(actual.className)) << "window class";
    EXPECT_EQ(Utf8FromWide(expected.caption), Utf8FromWide(actual.caption)) << "caption";
    EXPECT_EQ(expected.pointSize, actual.pointSize) << "font size";
    EXPECT_EQ(expected.weight, actual.weight) << "font weight";
    EXPECT_EQ(expected.italic, actual.italic) << "italic";
    EXPECT_EQ(expected.charset, actual.charset) << "character set";
    EXPECT_EQ(Utf8FromWide(expected.face), Utf8FromWide(actual.face)) << "font face";
}

void ExpectItems(const std::vector<ExpectedItem>& expected, const DialogTemplate& actual)
{
    ASSERT_EQ(expected.size(), actual.items.size()) << "number of items";
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i + 1));
        const ExpectedItem& want = expected[i];
        const DialogItem& got = actual.items[i];
        EXPECT_EQ(want.className, got.className);
        EXPECT_EQ(want.id, got.id);
        const std::wstring text = want.textIsPrefix ? got.text.substr(0, std::wcslen(want.text)) : got.text;
        EXPECT_EQ(Utf8FromWide(want.text), Utf8FromWide(text)) << "whole text: " << Utf8FromWide(got.text);
        if (want.textIsPrefix) {
            EXPECT_GT(got.text.size(), std::wcslen(want.text)) << "a label without its value";
        }
        EXPECT_EQ(Hex(want.style), Hex(got.style)) << "style";
        EXPECT_EQ(Hex(0), Hex(got.exStyle)) << "extended style";
        EXPECT_EQ(Hex(0), Hex(got.helpId)) << "help id";
        EXPECT_EQ(Rect(want.x, want.y, want.cx, want.cy), Rect(got.x, got.y, got.cx, got.cy)) << "rectangle";
        EXPECT_EQ(0, got.extraBytes) << "creation data";
    }
}

TEST(DialogTemplates, MainPanel129)
{
    DialogTemplate dialog;
    ASSERT_NO_FATAL_FAILURE(LoadDialog(IDD_MAINDLG, dialog));
    ExpectDialog({0x00C800C0, WS_EX_CLIENTEDGE, 257, 157, 11, 400, 0, 134, L"华文楷体", WideFrom936(kPanelTitle).c_str()},
                 dialog);
    ExpectItems({{"BUTTON", 1, L"设置", 0x50010001, 197, 39, 56, 21, false},
                 {"BUTTON", 2, L"退出", 0x50010000, 197, 106, 56, 21, false},
                 {"BUTTON", 57664, L"关于", 0x50010000, 197, 72, 56, 21, false},
                 {"STATIC", -1, L"§当前工作状态为内网。", 0x50020000, 18, 45, 101, 8, false},
                 {"STATIC", -1, L"§如果要切换，请先关闭计算机，然后拨动开关，", 0x50020000, 18, 59, 176, 8, false},
                 {"STATIC", -1, L"§点击设置按钮，可以设置系统启动时的必要参数。", 0x50020000, 18, 87, 179, 8, false},
                 {"STATIC", -1, L"§点击退出按钮，本程序将退出设置状态。", 0x50020000, 18, 101, 162, 8, false},
                 {"STATIC", -1, L"最后再打开计算机。", 0x50020000, 26, 73, 116, 8, false}},
                dialog);
}

TEST(DialogTemplates, FlagWindow202)
{
    DialogTemplate dialog;
    ASSERT_NO_FATAL_FAILURE(LoadDialog(IDD_NETFLAG, dialog));
    ExpectDialog({0x80080048, 0, 32, 29, 8, 400, 0, 1, L"MS Shell Dlg", L""}, dialog);
    EXPECT_EQ(0u, dialog.items.size());
}

TEST(DialogTemplates, DetectionSettings201)
{
    DialogTemplate dialog;
    ASSERT_NO_FATAL_FAILURE(LoadDialog(IDD_CHECK, dialog));
    ExpectDialog({WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 206, 92, 8, 400, 0,
                  DEFAULT_CHARSET, L"MS Shell Dlg", L"设置"},
                 dialog);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    ExpectItems({{"BUTTON", IDOK, L"确定", child | BS_DEFPUSHBUTTON | WS_TABSTOP, 18, 66, 50, 14, false},
                 {"BUTTON", IDCANCEL, L"取消", child | BS_DEFPUSHBUTTON | WS_TABSTOP, 135, 66, 50, 14, false},
                 {"BUTTON", 1000, L"检测", child | BS_AUTORADIOBUTTON | WS_GROUP, 42, 30, 32, 10, false},
                 {"BUTTON", 1001, L"不检测", child | BS_AUTORADIOBUTTON, 118, 30, 40, 10, false},
                 {"BUTTON", -1, L"是否检测光驱", child | BS_GROUPBOX, 17, 14, 170, 38, false}},
                dialog);
}

TEST(DialogTemplates, About100)
{
    DialogTemplate dialog;
    ASSERT_NO_FATAL_FAILURE(LoadDialog(IDD_ABOUTBOX, dialog));
    ExpectDialog({WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 251, 125, 11, 400, 0, 134,
                  L"华文楷体", L"关于"},
                 dialog);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD line = child | SS_LEFT | WS_GROUP;
    ExpectItems({{"BUTTON", IDOK, L"OK", child | BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 108, 50, 14, false},
                 {"BUTTON", -1, L"", child | BS_GROUPBOX, 9, 9, 234, 91, false},
                 {"STATIC", -1, L"公司:  ", line, 22, 26, 133, 12, true},
                 {"STATIC", -1, L"地址:  ", line, 22, 38, 217, 8, true},
                 {"STATIC", -1, L"电话:  ", line, 22, 50, 119, 8, true},
                 {"STATIC", -1, L"网址:  ", line, 22, 60, 119, 11, true},
                 {"STATIC", -1, L"传真:  ", line, 21, 70, 75, 8, true}},
                dialog);
}

TEST(DialogTemplates, TemplatesBuildWindows)
{
    // The dialog manager accepts each template as it stands.
    for (int id : {IDD_MAINDLG, IDD_NETFLAG, IDD_CHECK, IDD_ABOUTBOX}) {
        HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                         [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        EXPECT_NE(nullptr, window) << "dialog " << id << ", error " << GetLastError();
        if (window != nullptr) {
            EXPECT_FALSE(IsWindowVisible(window)) << "dialog " << id << " shows itself";
            DestroyWindow(window);
        }
    }
}

// ---- Bitmaps ------------------------------------------------------------------------------

struct ExpectedBitmap
{
    int id;
    LONG width;
    LONG height;
    WORD bitCount;
};

void PrintTo(const ExpectedBitmap& bitmap, std::ostream* out)
{
    *out << bitmap.width << "x" << bitmap.height << "x" << bitmap.bitCount;
}

class Bitmaps : public ::testing::TestWithParam<ExpectedBitmap>
{
};

TEST_P(Bitmaps, SizeAndDepth)
{
    const ExpectedBitmap& want = GetParam();
    ExpectOnlyChinese(RT_BITMAP, want.id);
    std::string bytes;
    ASSERT_TRUE(ResourceBytes(RT_BITMAP, MAKEINTRESOURCEA(want.id), kChinesePrc, bytes));
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(want.width, header.biWidth);
    EXPECT_EQ(want.height, header.biHeight < 0 ? -header.biHeight : header.biHeight);
    EXPECT_EQ(want.bitCount, header.biBitCount);
    const size_t stride = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    EXPECT_GE(bytes.size(), header.biSize + stride * static_cast<size_t>(want.height)) << "pixels cut short";

    // And the platform loads it at that size.
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(want.id),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(want.width, info.bmWidth);
    EXPECT_EQ(want.height, info.bmHeight);
    DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Resources, Bitmaps,
                         ::testing::Values(ExpectedBitmap{IDB_NETFLAG, 48, 48, 24},
                                           ExpectedBitmap{IDB_NETFLAG_96, 96, 96, 24},
                                           ExpectedBitmap{IDB_NETFLAG_144, 144, 144, 24},
                                           ExpectedBitmap{IDB_PANEL, 522, 344, 32},
                                           ExpectedBitmap{IDB_BTN_SETTINGS, 444, 44, 32},
                                           ExpectedBitmap{IDB_BTN_ABOUT, 444, 44, 32},
                                           ExpectedBitmap{IDB_BTN_QUIT, 444, 44, 32}),
                         [](const ::testing::TestParamInfo<ExpectedBitmap>& bitmap) {
                             return "Bitmap" + std::to_string(bitmap.param.id);
                         });

// ---- Icons ------------------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct IconImage
{
    int width;
    int height;
    WORD bitCount;  // from the image's own header
};

// The images of an icon group, each checked against its RT_ICON resource.
void LoadIconGroup(int id, std::vector<IconImage>& images)
{
    ExpectOnlyChinese(RT_GROUP_ICON, id);
    std::string group;
    ASSERT_TRUE(ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(id), kChinesePrc, group)) << "icon " << id;
    ASSERT_GE(group.size(), 6u);
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(0, header[0]);
    EXPECT_EQ(1, header[1]) << "an icon group, not a cursor group";
    ASSERT_EQ(6u + header[2] * sizeof(GroupIconEntry), group.size());
    for (WORD i = 0; i < header[2]; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        std::string image;
        ASSERT_TRUE(ResourceBytes(RT_ICON, MAKEINTRESOURCEA(entry.id), kChinesePrc, image))
            << "image " << entry.id << " of icon " << id;
        EXPECT_EQ(entry.bytes, image.size()) << "image " << entry.id;
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER bits;
        std::memcpy(&bits, image.data(), sizeof bits);
        const int width = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(width, bits.biWidth) << "image " << entry.id;
        EXPECT_EQ(2 * (entry.height == 0 ? 256 : entry.height), bits.biHeight) << "colour and mask";
        EXPECT_EQ(entry.bitCount, bits.biBitCount) << "image " << entry.id;
        // Colour rows and mask rows, each padded to 4 bytes: Windows reads
        // that many whatever the image holds.
        const size_t palette = bits.biBitCount <= 8 ? 4u << bits.biBitCount : 0;
        const size_t rows = entry.height == 0 ? 256 : entry.height;
        EXPECT_EQ(bits.biSize + palette + rows * (((width * bits.biBitCount + 31) / 32 + (width + 31) / 32) * 4),
                  image.size())
            << "image " << entry.id;
        images.push_back({width, entry.height == 0 ? 256 : entry.height, bits.biBitCount});
    }
}

// An image for every size Windows asks for between 100 % and 300 %, in full
// colour; the tray icon keeps its 16-colour 32 px image first.
TEST(Icons, WindowAndTrayIconsHaveAnImageForEveryScaling)
{
    for (int id : {IDI_MAINFRAME, IDI_TRAY}) {
        std::vector<IconImage> images;
        ASSERT_NO_FATAL_FAILURE(LoadIconGroup(id, images));
        std::vector<std::string> shapes;
        for (const IconImage& image : images)
            shapes.push_back(std::to_string(image.width) + "x" + std::to_string(image.height) + "/" +
                             std::to_string(image.bitCount));
        std::vector<std::string> expected;
        if (id == IDI_TRAY)
            expected.push_back("32x32/4");
        for (int size : {16, 20, 24, 32, 40, 48, 64})
            expected.push_back(std::to_string(size) + "x" + std::to_string(size) + "/32");
        EXPECT_EQ(expected, shapes) << "icon " << id;
    }
}

// ---- Manifest and version ----------------------------------------------------------------------

TEST(Manifest, AsksForCommonControls6AsInvoker)
{
    ExpectOnlyChinese(RT_MANIFEST, 1);
    std::string xml;
    ASSERT_TRUE(ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEA(1), kChinesePrc, xml));
#ifdef _WIN64
    const std::string architecture = "amd64";
#else
    const std::string architecture = "x86";
#endif
    const std::string own = XmlAttributes(xml, "", "assemblyIdentity");
    EXPECT_EQ(architecture, XmlAttribute(own, "processorArchitecture")) << own;

    const std::string controls = XmlAttributes(xml, "dependentAssembly", "assemblyIdentity");
    ASSERT_FALSE(controls.empty()) << xml;
    EXPECT_EQ("win32", XmlAttribute(controls, "type"));
    EXPECT_EQ("Microsoft.Windows.Common-Controls", XmlAttribute(controls, "name"));
    EXPECT_EQ("6.0.0.0", XmlAttribute(controls, "version"));
    EXPECT_EQ(architecture, XmlAttribute(controls, "processorArchitecture"));
    EXPECT_EQ("6595b64144ccf1df", XmlAttribute(controls, "publicKeyToken"));

    const std::string level = XmlAttributes(xml, "requestedPrivileges", "requestedExecutionLevel");
    ASSERT_FALSE(level.empty()) << xml;
    EXPECT_EQ("asInvoker", XmlAttribute(level, "level"));
    EXPECT_EQ("false", XmlAttribute(level, "uiAccess"));
}

TEST(Version, FileAndProductVersion1001InChinese936)
{
    ExpectOnlyChinese(RT_VERSION, VS_VERSION_INFO);
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(module, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(module, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(Hex(VS_FFI_SIGNATURE), Hex(fixed->dwSignature));
    EXPECT_EQ(Hex(0x00010000), Hex(fixed->dwFileVersionMS));
    EXPECT_EQ(Hex(0x00000001), Hex(fixed->dwFileVersionLS));
    EXPECT_EQ(Hex(0x00010000), Hex(fixed->dwProductVersionMS));
    EXPECT_EQ(Hex(0x00000001), Hex(fixed->dwProductVersionLS));

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(4u, length) << "one translation";
    EXPECT_EQ(Hex(0x0804), Hex(LOWORD(*translation))) << "language";
    EXPECT_EQ(936, HIWORD(*translation)) << "code page";

    for (const char* name : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        const std::string path = std::string("\\StringFileInfo\\080403a8\\") + name;
        ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << name;
        EXPECT_STREQ("1.0.0.1", text) << name;
    }
}

}  // namespace
