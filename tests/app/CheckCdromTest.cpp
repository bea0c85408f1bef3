#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/CheckCdrom.h"
#include "support/Text.h"

namespace {

// One drive letter as the fake platform plays it.
struct FakeDrive
{
    UINT type = DRIVE_FIXED;
    bool readable = true;      // GetVolumeInformation succeeds
    std::string fileSystem;    // its answer when readable
    DWORD error = 0;           // its last error when not
};

// The fake platform, and every call made to it, in order, as UTF-8 lines.
struct DriveFake
{
    DWORD mask = 0;
    std::map<char, FakeDrive> drives;
    DWORD lastError = 0;
    std::vector<std::string> calls;
};
DriveFake g_fake;

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string Pointer(const void* p)
{
    return p == nullptr ? "null" : "set";
}

DWORD WINAPI FakeGetLogicalDrives()
{
    g_fake.calls.push_back("GetLogicalDrives");
    return g_fake.mask;
}

UINT WINAPI FakeGetDriveType(LPCSTR root)
{
    g_fake.calls.push_back("GetDriveType \"" + std::string(root) + "\"");
    const auto drive = g_fake.drives.find(root[0]);
    return drive == g_fake.drives.end() ? DRIVE_NO_ROOT_DIR : drive->second.type;
}

BOOL WINAPI FakeGetVolumeInformation(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serial,
                                     LPDWORD maxComponentLength, LPDWORD flags, LPSTR fileSystemName,
                                     DWORD fileSystemNameSize)
{
    g_fake.calls.push_back("GetVolumeInformation \"" + std::string(root) + "\" volume=" + Pointer(volumeName) + "/" +
                           std::to_string(volumeNameSize) + " serial=" + Pointer(serial) +
                           " maxComponent=" + Pointer(maxComponentLength) + " flags=" + Pointer(flags) +
                           " fileSystem=" + Pointer(fileSystemName) + "/" + std::to_string(fileSystemNameSize));
    const FakeDrive& drive = g_fake.drives[root[0]];
    // The real last error is left misleading: the check must ask the table.
    SetLastError(ERROR_SUCCESS);
    if (!drive.readable) {
        g_fake.lastError = drive.error;
        return FALSE;
    }
    if (fileSystemName != nullptr && fileSystemNameSize > 0) {
        const size_t n = drive.fileSystem.size() < fileSystemNameSize - 1 ? drive.fileSystem.size()
                                                                         : fileSystemNameSize - 1;
        std::memcpy(fileSystemName, drive.fileSystem.data(), n);
        fileSystemName[n] = '\0';
    }
    return TRUE;
}

DWORD WINAPI FakeGetLastError()
{
    g_fake.calls.push_back("GetLastError");
    return g_fake.lastError;
}

int WINAPI FakeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    g_fake.calls.push_back("MessageBox owner=" + Pointer(owner) + " type=" + Hex(type) + " caption=" +
                           Utf8From936(caption) + " text=" + Escaped(Utf8From936(text)));
    return IDOK;
}

const DriveApi kFakeApi = {&FakeGetLogicalDrives, &FakeGetDriveType, &FakeGetVolumeInformation, &FakeGetLastError,
                           &FakeMessageBox};

// ---- The calls the check is expected to make --------------------------------

std::string Root(char letter)
{
    return std::string("\"") + letter + ":\\\"";
}

std::string DriveTypeCall(char letter)
{
    return "GetDriveType " + Root(letter);
}

std::string VolumeCall(char letter)
{
    // Only the file-system name is asked for, into 1024 bytes.
    return "GetVolumeInformation " + Root(letter) +
           " volume=null/0 serial=null maxComponent=null flags=null fileSystem=set/1024";
}

std::string Box(const std::string& utf8Text)
{
    return std::string("MessageBox owner=null type=0x0 caption=") + u8"提示" + " text=" + Escaped(utf8Text);
}

std::string DiscBox(const std::string& fileSystem)
{
    return Box(u8"光盘已经插入，文件系统类别为" + fileSystem + "\n");
}

const std::string kNotReadyBox = Box(u8"设备未就绪，请插入光盘!");

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "    " + line + "\n";
    return out;
}

class CheckCdromCalls : public ::testing::Test
{
protected:
    void SetUp() override { g_fake = DriveFake{}; }

    static void AddDrive(char letter, UINT type, const char* fileSystem = nullptr, DWORD error = 0)
    {
        g_fake.mask |= DWORD{1} << (letter - 'A');
        FakeDrive drive;
        drive.type = type;
        drive.readable = fileSystem != nullptr;
        drive.fileSystem = fileSystem != nullptr ? fileSystem : "";
        drive.error = error;
        g_fake.drives[letter] = drive;
    }

    static void ExpectCalls(const std::vector<std::string>& expected)
    {
        EXPECT_TRUE(expected == g_fake.calls) << "expected calls:\n"
                                              << Join(expected) << "actual calls:\n"
                                              << Join(g_fake.calls);
    }
};

// ---- The scenarios a user meets -----------------------------------------------------

TEST_F(CheckCdromCalls, NoOpticalDriveShowsNothing)
{
    AddDrive('C', DRIVE_FIXED);
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('C')});
}

TEST_F(CheckCdromCalls, OneDiscWithCdfs)
{
    AddDrive('C', DRIVE_FIXED);
    AddDrive('D', DRIVE_CDROM, "CDFS");
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('C'), DriveTypeCall('D'), VolumeCall('D'), DiscBox("CDFS")});
}

TEST_F(CheckCdromCalls, OneDriveWithoutDisc)
{
    AddDrive('C', DRIVE_FIXED);
    AddDrive('D', DRIVE_CDROM, nullptr, ERROR_NOT_READY);
    EXPECT_FALSE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('C'), DriveTypeCall('D'), VolumeCall('D'), "GetLastError",
                 kNotReadyBox});
}

TEST_F(CheckCdromCalls, FirstDriveWithoutDiscStopsBeforeTheSecond)
{
    AddDrive('D', DRIVE_CDROM, nullptr, ERROR_NOT_READY);
    AddDrive('E', DRIVE_CDROM, "CDFS");
    EXPECT_FALSE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), "GetLastError", kNotReadyBox});
}

TEST_F(CheckCdromCalls, TwoDiscsTwoBoxesInLetterOrder)
{
    AddDrive('E', DRIVE_CDROM, "UDF");
    AddDrive('D', DRIVE_CDROM, "CDFS");
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), DiscBox("CDFS"), DriveTypeCall('E'),
                 VolumeCall('E'), DiscBox("UDF")});
}

TEST_F(CheckCdromCalls, DiscThenEmptyDrive)
{
    AddDrive('D', DRIVE_CDROM, "CDFS");
    AddDrive('E', DRIVE_CDROM, nullptr, ERROR_NOT_READY);
    EXPECT_FALSE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), DiscBox("CDFS"), DriveTypeCall('E'),
                 VolumeCall('E'), "GetLastError", kNotReadyBox});
}

// ---- Errors ------------------------------------------------------------------------

TEST_F(CheckCdromCalls, InvalidParameterCountsAsNotReady)
{
    AddDrive('D', DRIVE_CDROM, nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), "GetLastError", kNotReadyBox});
}

TEST_F(CheckCdromCalls, OtherErrorsShowTheirCode)
{
    for (DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_UNRECOGNIZED_VOLUME}, DWORD{0}}) {
        SCOPED_TRACE(error);
        g_fake = DriveFake{};
        AddDrive('D', DRIVE_CDROM, nullptr, error);
        EXPECT_FALSE(CheckCdrom(kFakeApi));
        ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), "GetLastError",
                     Box(u8"错误" + std::to_string(error) + "\n")});
    }
}

// ---- Walking the letters ------------------------------------------------------------

TEST_F(CheckCdromCalls, NoDrivesMeansNoCallsBeyondTheMask)
{
    g_fake.mask = 0;
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives"});
}

TEST_F(CheckCdromCalls, BitsAboveZAreNoDrives)
{
    g_fake.mask = 0xFC000000;
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives"});
}

TEST_F(CheckCdromCalls, OtherDriveTypesAreSkippedWithoutAVolumeRead)
{
    AddDrive('A', DRIVE_REMOVABLE);
    AddDrive('C', DRIVE_FIXED);
    AddDrive('F', DRIVE_REMOTE);
    AddDrive('G', DRIVE_RAMDISK);
    AddDrive('H', DRIVE_UNKNOWN);
    AddDrive('I', DRIVE_NO_ROOT_DIR);
    AddDrive('Z', DRIVE_CDROM, "CDFS");
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('A'), DriveTypeCall('C'), DriveTypeCall('F'), DriveTypeCall('G'),
                 DriveTypeCall('H'), DriveTypeCall('I'), DriveTypeCall('Z'), VolumeCall('Z'), DiscBox("CDFS")});
}

TEST_F(CheckCdromCalls, VeryLongFileSystemNameIsCut)
{
    AddDrive('D', DRIVE_CDROM, std::string(1000, 'X').c_str());
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), DiscBox(std::string(63, 'X'))});
}

TEST_F(CheckCdromCalls, NameOf63BytesIsShownWhole)
{
    AddDrive('D', DRIVE_CDROM, std::string(62, 'Y').append("Z").c_str());
    EXPECT_TRUE(CheckCdrom(kFakeApi));
    ExpectCalls({"GetLogicalDrives", DriveTypeCall('D'), VolumeCall('D'), DiscBox(std::string(62, 'Y') + "Z")});
}

TEST(CheckCdromTable, SystemTableAnswersLikeThePlatform)
{
    // Addresses of imported functions differ between modules' thunks, so
    // the entries are compared by what they answer.
    EXPECT_EQ(GetLogicalDrives(), kSystemDriveApi.getLogicalDrives());
    for (const char* root : {"C:\\", "Z:\\", "Q:\\"})
        EXPECT_EQ(GetDriveTypeA(root), kSystemDriveApi.getDriveType(root)) << root;
    SetLastError(ERROR_FILE_EXISTS);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), kSystemDriveApi.getLastError());
    char fileSystem[64] = {};
    char expected[64] = {};
    EXPECT_EQ(GetVolumeInformationA("C:\\", nullptr, 0, nullptr, nullptr, nullptr, expected, sizeof expected),
              kSystemDriveApi.getVolumeInformation("C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                                   sizeof fileSystem));
    EXPECT_STREQ(expected, fileSystem);
    EXPECT_NE(nullptr, kSystemDriveApi.messageBox);
}

}  // namespace
