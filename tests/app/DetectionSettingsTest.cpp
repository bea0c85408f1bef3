#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/DetectionSettings.h"
#include "support/ModulePathFake.h"
#include "support/TempFolder.h"
#include "support/Text.h"

namespace {

constexpr char kIniName[] = "CHECKCDROM.ini";

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file of that name anywhere below `folder` (with trailing backslash).
void FindFiles(const std::string& folder, const std::string& name, std::vector<std::string>& found)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string entryName = entry.cFileName;
        if (entryName == "." || entryName == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FindFiles(folder + entryName + "\\", name, found);
        else if (lstrcmpiA(entryName.c_str(), name.c_str()) == 0)
            found.push_back(folder + entryName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

// Creates folders below `base` until the path, with its trailing backslash,
// is exactly `length` bytes long.
std::string MakeFolderOfLength(const std::string& base, size_t length)
{
    std::string path = base;
    char letter = 'a';
    while (path.size() < length) {
        size_t remaining = length - path.size();
        size_t part = remaining - 1 < 100 ? remaining - 1 : 100;
        if (remaining - (part + 1) == 1)
            --part;
        path += std::string(part, letter++) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    return path;
}

std::string ExeFolderIni()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    return path.substr(0, path.rfind('\\') + 1) + kIniName;
}

// The state of the settings file beside the test program, to show that a
// failed path leads nowhere near it either.
struct FileSnapshot
{
    explicit FileSnapshot(const std::string& path) : exists(FileExists(path)) { TempFolder::ReadFile(path, bytes); }
    bool operator==(const FileSnapshot& other) const { return exists == other.exists && bytes == other.bytes; }
    bool exists;
    std::string bytes;
};

class DetectionSettings : public ::testing::Test
{
protected:
    void SetUp() override { g_modulePath = ModulePathFake{}; }

    // The fake reports an executable in `folder`.
    void PlaceModuleIn(const std::string& folder) { g_modulePath.path = folder + "NetChange.exe"; }

    std::string Read(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(TempFolder::ReadFile(path, bytes)) << path;
        return bytes;
    }

    TempFolder m_folder{"维尔摩 设置"};
};

// ---- Path building ------------------------------------------------------------

TEST_F(DetectionSettings, PathIsTheModuleFolderPlusFileName)
{
    PlaceModuleIn(m_folder.Path());
    char path[MAX_PATH];
    std::memset(path, 'Z', sizeof path);
    ASSERT_TRUE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ(Utf8From936(m_folder.File(kIniName)), Utf8From936(path));
    EXPECT_EQ(1, g_modulePath.calls);
    EXPECT_EQ(nullptr, g_modulePath.module) << "the running executable, not a DLL";
    EXPECT_EQ(static_cast<DWORD>(MAX_PATH), g_modulePath.size);
}

TEST_F(DetectionSettings, PathIsBuiltAfreshAtEveryUse)
{
    PlaceModuleIn("C:\\first\\");
    char path[MAX_PATH];
    ASSERT_TRUE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_STREQ("C:\\first\\CHECKCDROM.ini", path);
    PlaceModuleIn("D:\\second one\\");
    ASSERT_TRUE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_STREQ("D:\\second one\\CHECKCDROM.ini", path);
    EXPECT_EQ(2, g_modulePath.calls);
}

TEST_F(DetectionSettings, ModulePathOf259BytesStillWorks)
{
    // The longest path the platform returns whole; a short directory.
    g_modulePath.path = "C:\\x\\" + std::string(259 - 5, 'n');
    char path[MAX_PATH];
    ASSERT_TRUE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_STREQ("C:\\x\\CHECKCDROM.ini", path);
}

TEST_F(DetectionSettings, TruncatedModulePathFails)
{
    // A naive reader would find "C:\x\" in the cut path and carry on.
    g_modulePath.path = "C:\\x\\" + std::string(300, 'n') + "\\NetChange.exe";
    char path[MAX_PATH];
    std::memset(path, 'Z', sizeof path);
    EXPECT_FALSE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ('\0', path[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
}

TEST_F(DetectionSettings, FailedModulePathFails)
{
    g_modulePath.fail = true;
    char path[MAX_PATH];
    std::memset(path, 'Z', sizeof path);
    EXPECT_FALSE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ('\0', path[0]);
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
    // A failed call that names no error is a failure all the same.
    SetLastError(ERROR_SUCCESS);
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), WriteCheckFlag(true, kFakeModulePathApi));
}

TEST_F(DetectionSettings, PathWithoutBackslashFailsAndWritesNothingHere)
{
    // Nothing may land in the current folder as a relative "CHECKCDROM.ini".
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path().c_str()));
    g_modulePath.path = "NetChange.exe";
    char path[MAX_PATH];
    std::memset(path, 'Z', sizeof path);
    EXPECT_FALSE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ('\0', path[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_PATHNAME), WriteCheckFlag(true, kFakeModulePathApi));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
    SetCurrentDirectoryA(previous);
    std::vector<std::string> found;
    FindFiles(m_folder.Path(), kIniName, found);
    EXPECT_TRUE(found.empty()) << Utf8From936(found.empty() ? "" : found.front());
}

// ---- Long executable folders ----------------------------------------------------

TEST_F(DetectionSettings, FolderOf245BytesWorksForReadAndWrite)
{
    const std::string folder = MakeFolderOfLength(m_folder.Path(), 245);
    ASSERT_EQ(245u, folder.size());
    PlaceModuleIn(folder);
    char path[MAX_PATH];
    ASSERT_TRUE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ(259u, std::strlen(path));
    EXPECT_EQ(folder + kIniName, std::string(path));

    WriteCheckFlag(true, kFakeModulePathApi);
    ASSERT_TRUE(FileExists(folder + kIniName));
    EXPECT_EQ(1, ReadCheckFlag(kFakeModulePathApi));
    WriteCheckFlag(false, kFakeModulePathApi);
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
    EXPECT_EQ(0u, GetPrivateProfileIntA("CHECKFLAG", "flag", 7, (folder + kIniName).c_str()));
}

TEST_F(DetectionSettings, FolderOf246BytesFailsAndWritesNowhere)
{
    const std::string folder = MakeFolderOfLength(m_folder.Path(), 246);
    ASSERT_EQ(246u, folder.size());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
    PlaceModuleIn(folder);
    const FileSnapshot besideTests(ExeFolderIni());

    char path[MAX_PATH];
    std::memset(path, 'Z', sizeof path);
    EXPECT_FALSE(GetCheckIniPath(path, kFakeModulePathApi));
    EXPECT_EQ('\0', path[0]);

    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), WriteCheckFlag(true, kFakeModulePathApi));
    WriteCheckFlag(false, kFakeModulePathApi);
    std::vector<std::string> found;
    FindFiles(m_folder.Path(), kIniName, found);
    EXPECT_TRUE(found.empty()) << found.size() << " file(s), first " << Utf8From936(found.empty() ? "" : found[0]);
    EXPECT_TRUE(besideTests == FileSnapshot(ExeFolderIni())) << "the test program's own settings file changed";
}

TEST_F(DetectionSettings, FolderOf246BytesReadsZeroEvenWhenTheFileIsThere)
{
    // Planted through the long-path form, where a reader with a larger
    // buffer would find "1".
    const std::string folder = MakeFolderOfLength(m_folder.Path(), 246);
    const std::wstring planted = L"\\\\?\\" + WideFrom936(folder + kIniName);
    HANDLE file = CreateFileW(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const char content[] = "[CHECKFLAG]\r\nflag=1\r\n";
    DWORD written = 0;
    WriteFile(file, content, sizeof content - 1, &written, nullptr);
    CloseHandle(file);
    PlaceModuleIn(folder);
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
    DeleteFileW(planted.c_str());
}

// ---- Reading ---------------------------------------------------------------------

TEST_F(DetectionSettings, MissingFileSectionOrKeyReadsZero)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi)) << "no file";
    ASSERT_TRUE(TempFolder::WriteFile(ini, "[OTHER]\r\nflag=1\r\n"));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi)) << "no section";
    ASSERT_TRUE(TempFolder::WriteFile(ini, "[CHECKFLAG]\r\nflags=1\r\nFLAG2=1\r\n"));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi)) << "no key";
    ASSERT_TRUE(TempFolder::WriteFile(ini, "[CHECKFLAG]\r\nflag=\r\n"));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi)) << "empty value";
}

struct StoredValue
{
    const char* text;
    int expected;  // what the platform's integer reading gives
    bool exact;    // false: an overflow, whatever the platform makes of it
};

void PrintTo(const StoredValue& value, std::ostream* out)
{
    *out << "\"" << value.text << "\"";
}

class StoredValues : public DetectionSettings, public ::testing::WithParamInterface<StoredValue>
{
};

TEST_P(StoredValues, ReadAsThePlatformReadsThem)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    ASSERT_TRUE(TempFolder::WriteFile(ini, std::string("[CHECKFLAG]\r\nflag=") + GetParam().text + "\r\n"));
    const int platform = static_cast<int>(GetPrivateProfileIntA("CHECKFLAG", "flag", 0, ini.c_str()));
    const int read = ReadCheckFlag(kFakeModulePathApi);
    EXPECT_EQ(platform, read) << "stored \"" << GetParam().text << "\"";
    if (GetParam().exact) {
        EXPECT_EQ(GetParam().expected, read) << "stored \"" << GetParam().text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(DetectionSettings, StoredValues,
                         ::testing::Values(StoredValue{"0", 0, true}, StoredValue{"1", 1, true},
                                           StoredValue{"2", 2, true}, StoredValue{"-1", -1, true},
                                           StoredValue{"abc", 0, true}, StoredValue{"12abc", 12, true},
                                           StoredValue{" 1", 1, true},
                                           StoredValue{"99999999999", 0, false}));

TEST_F(DetectionSettings, AnyNonzeroValueMeansCheck)
{
    // Start-up checks the drives for every value but 0: "2", "-1" and an
    // overflowing number must not read as 0.
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    for (const char* stored : {"2", "-1", "12abc", "99999999999"}) {
        ASSERT_TRUE(TempFolder::WriteFile(ini, std::string("[CHECKFLAG]\r\nflag=") + stored + "\r\n"));
        EXPECT_NE(0, ReadCheckFlag(kFakeModulePathApi)) << "stored \"" << stored << "\"";
    }
}

TEST_F(DetectionSettings, FileIsReadAgainAfterAnOutsideChange)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    ASSERT_TRUE(TempFolder::WriteFile(ini, "[CHECKFLAG]\r\nflag=1\r\n"));
    EXPECT_EQ(1, ReadCheckFlag(kFakeModulePathApi));
    ASSERT_TRUE(TempFolder::WriteFile(ini, "[CHECKFLAG]\r\nflag=0\r\n\r\n"));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
    ASSERT_TRUE(DeleteFileA(ini.c_str()));
    EXPECT_EQ(0, ReadCheckFlag(kFakeModulePathApi));
}

// ---- Writing ---------------------------------------------------------------------

TEST_F(DetectionSettings, WriteCreatesFileSectionAndKey)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    ASSERT_FALSE(FileExists(ini));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), WriteCheckFlag(true, kFakeModulePathApi));
    EXPECT_EQ("[CHECKFLAG]\r\nflag=1\r\n", Read(ini));
    WriteCheckFlag(false, kFakeModulePathApi);
    EXPECT_EQ("[CHECKFLAG]\r\nflag=0\r\n", Read(ini));
    WriteCheckFlag(true, kFakeModulePathApi);
    EXPECT_EQ("[CHECKFLAG]\r\nflag=1\r\n", Read(ini));
}

// The profile functions rewrite the whole file in their own layout (Wine
// drops blank lines), so the other content is given in that layout: then
// any byte that changes beyond the one value is ours.
TEST_F(DetectionSettings, WriteReplacesOnlyTheValue)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    const std::string before = "[Before]\r\nalpha=1\r\nbeta=text with spaces\r\n;a comment\r\n"
                               "[CHECKFLAG]\r\nother=keep\r\nflag=0\r\nmore=yes\r\n"
                               "[After]\r\ngamma=3\r\nflag=0\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(ini, before));
    WriteCheckFlag(true, kFakeModulePathApi);
    std::string expected = before;
    expected.replace(expected.find("flag=0"), 6, "flag=1");
    EXPECT_EQ(expected, Read(ini));
    WriteCheckFlag(false, kFakeModulePathApi);
    EXPECT_EQ(before, Read(ini));
}

TEST_F(DetectionSettings, WriteAddsAMissingKeyToTheSection)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    const std::string head = "[Before]\r\nalpha=1\r\n[CHECKFLAG]\r\nother=keep\r\n";
    const std::string tail = "[After]\r\ngamma=3\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(ini, head + tail));
    WriteCheckFlag(false, kFakeModulePathApi);
    EXPECT_EQ(head + "flag=0\r\n" + tail, Read(ini));
}

TEST_F(DetectionSettings, WriteAddsAMissingSectionAtTheEnd)
{
    PlaceModuleIn(m_folder.Path());
    const std::string ini = m_folder.File(kIniName);
    const std::string before = "[Before]\r\nalpha=1\r\nflag=7\r\n";
    ASSERT_TRUE(TempFolder::WriteFile(ini, before));
    WriteCheckFlag(true, kFakeModulePathApi);
    const std::string after = Read(ini);
    EXPECT_EQ(before, after.substr(0, before.size())) << "the rest of the file moved";
    std::string added = after.substr(before.size());
    // Whether a blank line separates the new section is the platform's affair.
    while (added.compare(0, 2, "\r\n") == 0)
        added.erase(0, 2);
    EXPECT_EQ("[CHECKFLAG]\r\nflag=1\r\n", added);
    EXPECT_EQ(7u, GetPrivateProfileIntA("Before", "flag", 0, ini.c_str()));
}

}  // namespace
