#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/RunAtStartup.h"
#include "support/ModulePathFake.h"
#include "support/Text.h"

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kValueName[] = "VELMORNETCHANGE";

// A folder with spaces and Chinese characters (code page 936 here), and the
// value written for it: the path in quotes, so that Windows does not read
// it piece by piece at the spaces.
constexpr char kInstalledPath[] = "C:\\Program Files\\维尔摩 网络\\NetChange.exe";
constexpr char kQuotedPath[] = "\"C:\\Program Files\\维尔摩 网络\\NetChange.exe\"";
constexpr wchar_t kQuotedPathWide[] = L"\"C:\\Program Files\\维尔摩 网络\\NetChange.exe\"";

// Every registry call the registration made, and what they answer.
struct RegistryFake
{
    LSTATUS openResult = ERROR_SUCCESS;
    LSTATUS setResult = ERROR_SUCCESS;
    HKEY openedKey = reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x5150));
    std::vector<std::string> calls;
    std::string setData;
    std::vector<std::string> printed;
};
RegistryFake g_fake;

std::string KeyName(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (key == HKEY_CURRENT_USER)
        return "HKCU";
    if (key == g_fake.openedKey)
        return "opened";
    return "other";
}

LSTATUS WINAPI FakeOpenKey(HKEY root, LPCSTR subKey, PHKEY key)
{
    g_fake.calls.push_back("open " + KeyName(root) + " " + subKey);
    if (g_fake.openResult != ERROR_SUCCESS)
        return g_fake.openResult;
    *key = g_fake.openedKey;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI FakeSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    g_fake.calls.push_back("set " + KeyName(key) + " " + name + " reserved=" + std::to_string(reserved) +
                           " type=" + std::to_string(type) + " size=" + std::to_string(size));
    g_fake.setData.assign(reinterpret_cast<const char*>(data), size);
    return g_fake.setResult;
}

LSTATUS WINAPI FakeCloseKey(HKEY key)
{
    g_fake.calls.push_back("close " + KeyName(key));
    return ERROR_SUCCESS;
}

void FakeWriteStdout(const char* text)
{
    g_fake.printed.push_back(Utf8From936(text));
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "    " + Utf8From936(line) + "\n";
    return out;
}

// The value as another reader sees it, raw.
struct StoredValue
{
    bool exists = false;
    DWORD type = 0;
    std::string bytes;
};

StoredValue ReadValue()
{
    StoredValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, kValueName, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.exists = RegQueryValueExA(key, kValueName, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    return value;
}

std::wstring ReadValueWide()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return L"<no key>";
    wchar_t data[MAX_PATH * 2] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const LSTATUS status = RegQueryValueExW(key, L"VELMORNETCHANGE", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::wstring(data) : L"<no value>";
}

void DeleteValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kValueName);
    RegCloseKey(key);
}

class RunAtStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_fake = RegistryFake{};
        g_modulePath = ModulePathFake{};
        g_modulePath.path = kInstalledPath;
        m_saved = ReadValue();
        DeleteValue();
    }

    // Puts back what was there before, or nothing.
    void TearDown() override
    {
        DeleteValue();
        if (!m_saved.exists)
            return;
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, kValueName, 0, m_saved.type, reinterpret_cast<const BYTE*>(m_saved.bytes.data()),
                       static_cast<DWORD>(m_saved.bytes.size()));
        RegCloseKey(key);
    }

    // The system's registry calls with the fake module path and output.
    static RegistryApi RealRegistry()
    {
        RegistryApi api = kSystemRegistryApi;
        api.moduleFileName = &FakeModuleFileName;
        api.writeStdout = &FakeWriteStdout;
        return api;
    }

    static RegistryApi AllFake()
    {
        return RegistryApi{&FakeOpenKey, &FakeSetValue, &FakeCloseKey, &FakeModuleFileName, &FakeWriteStdout};
    }

    // The registry calls in order, after the program's path was asked for
    // once, for the running executable, in a MAX_PATH buffer.
    static void ExpectCalls(const std::vector<std::string>& expected)
    {
        EXPECT_EQ(1, g_modulePath.calls);
        EXPECT_EQ(nullptr, g_modulePath.module);
        EXPECT_EQ(static_cast<DWORD>(MAX_PATH), g_modulePath.size);
        EXPECT_TRUE(expected == g_fake.calls) << "expected calls:\n"
                                              << Join(expected) << "actual calls:\n"
                                              << Join(g_fake.calls);
    }

    StoredValue m_saved;
};

// ---- The real registry -------------------------------------------------------------

TEST_F(RunAtStartup, WritesTheModulePathByteExact)
{
    ASSERT_FALSE(ReadValue().exists);
    EXPECT_TRUE(RegisterRunAtStartup(RealRegistry()));
    const StoredValue stored = ReadValue();
    ASSERT_TRUE(stored.exists);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    // Quoted path, terminating zero, nothing else: no arguments.
    EXPECT_EQ(std::string(kQuotedPath, sizeof kQuotedPath), stored.bytes)
        << "stored: " << Utf8From936(stored.bytes.c_str());
    // Stored in the system code page: a Unicode reader sees the Chinese folder.
    EXPECT_EQ(Utf8FromWide(kQuotedPathWide), Utf8FromWide(ReadValueWide()));
    EXPECT_TRUE(g_fake.printed.empty());
}

// An earlier version's unquoted value, or one the user changed.
TEST_F(RunAtStartup, OverwritesAChangedValue)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key));
    RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kInstalledPath), sizeof kInstalledPath);
    RegCloseKey(key);
    ASSERT_TRUE(RegisterRunAtStartup(RealRegistry()));
    EXPECT_EQ(std::string(kQuotedPath, sizeof kQuotedPath), ReadValue().bytes);
}

TEST_F(RunAtStartup, DefaultTableRegistersThisProgram)
{
    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(RegisterRunAtStartup());
    const StoredValue stored = ReadValue();
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ("\"" + std::string(module, length) + "\"" + std::string(1, '\0'), stored.bytes);
}

TEST_F(RunAtStartup, TruncatedModulePathWritesNothing)
{
    g_modulePath.path = "C:\\" + std::string(300, 'p') + "\\NetChange.exe";
    EXPECT_FALSE(RegisterRunAtStartup(RealRegistry()));
    EXPECT_FALSE(ReadValue().exists);
}

// ---- Calls and failures, all faked -----------------------------------------------------

TEST_F(RunAtStartup, CallsInOrder)
{
    EXPECT_TRUE(RegisterRunAtStartup(AllFake()));
    ExpectCalls({std::string("open HKLM ") + kRunKey,
                 "set opened VELMORNETCHANGE reserved=0 type=1 size=" + std::to_string(sizeof kQuotedPath),
                 "close opened"});
    EXPECT_EQ(std::string(kQuotedPath, sizeof kQuotedPath), g_fake.setData);
    EXPECT_TRUE(g_fake.printed.empty());
}

TEST_F(RunAtStartup, KeyThatWillNotOpenIsReportedOnStandardOutput)
{
    g_fake.openResult = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(RegisterRunAtStartup(AllFake()));
    ExpectCalls({std::string("open HKLM ") + kRunKey});
    ASSERT_EQ(1u, g_fake.printed.size());
    EXPECT_EQ(u8"打开注册表项失败", g_fake.printed[0]);
}

TEST_F(RunAtStartup, ValueThatCannotBeSetStillClosesTheKey)
{
    g_fake.setResult = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(RegisterRunAtStartup(AllFake()));
    ExpectCalls({std::string("open HKLM ") + kRunKey,
                 "set opened VELMORNETCHANGE reserved=0 type=1 size=" + std::to_string(sizeof kQuotedPath),
                 "close opened"});
    EXPECT_TRUE(g_fake.printed.empty()) << "only a failed open is reported";
}

TEST_F(RunAtStartup, TruncatedModulePathOpensNothing)
{
    g_modulePath.path = "C:\\" + std::string(300, 'p') + "\\NetChange.exe";
    EXPECT_FALSE(RegisterRunAtStartup(AllFake()));
    ExpectCalls({});
}

// Quotes and terminating zero count: a path of 257 bytes fills MAX_PATH,
// one of 258 would not fit and writes nothing.
TEST_F(RunAtStartup, QuotedPathMustFitMaxPath)
{
    for (size_t length : {257u, 258u}) {
        g_fake = RegistryFake{};
        g_modulePath.path = "C:\\" + std::string(length - 3 - 4, 'p') + ".exe";
        ASSERT_EQ(length, g_modulePath.path.size());
        EXPECT_EQ(length == 257, RegisterRunAtStartup(AllFake())) << length;
        EXPECT_EQ(length == 257 ? "\"" + g_modulePath.path + "\"" + std::string(1, '\0') : "", g_fake.setData);
    }
}

}  // namespace
