// The shipped x86 setup cannot run here, but its version resource can be
// read: Add/Remove Programs and the file's properties show it to users.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/Text.h"

namespace {

struct VersionInfo
{
    bool read = false;
    DWORD fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
    std::string productName, companyName, productVersion;
};

std::string StringValue(std::vector<char>& block, const char* name)
{
    struct Translation
    {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation))
        return {};
    char path[128];
    wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%s", translations->language, translations->codePage, name);
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&text), &size) || text == nullptr)
        return {};
    return text;
}

VersionInfo ReadVersion(const char* path)
{
    VersionInfo info;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return info;
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr)
        return info;
    info.read = true;
    info.fileMs = fixed->dwFileVersionMS;
    info.fileLs = fixed->dwFileVersionLS;
    info.productMs = fixed->dwProductVersionMS;
    info.productLs = fixed->dwProductVersionLS;
    info.productName = StringValue(block, "ProductName");
    info.companyName = StringValue(block, "CompanyName");
    info.productVersion = StringValue(block, "ProductVersion");
    return info;
}

TEST(ShippedSetup, CarriesTheVersionAndNamesOfTheProgramItInstalls)
{
    const VersionInfo setup = ReadVersion(NETCHANGE_SHIPPED_SETUP);
    const VersionInfo program = ReadVersion(NETCHANGE_SHIPPED_EXE);
    ASSERT_TRUE(setup.read) << NETCHANGE_SHIPPED_SETUP;
    ASSERT_TRUE(program.read) << NETCHANGE_SHIPPED_EXE;
    EXPECT_EQ(program.fileMs, setup.fileMs);
    EXPECT_EQ(program.fileLs, setup.fileLs);
    EXPECT_EQ(program.productMs, setup.productMs);
    EXPECT_EQ(program.productLs, setup.productLs);
    EXPECT_EQ(NETCHANGE_VERSION, program.productVersion);
    EXPECT_EQ(program.productVersion, setup.productVersion);
    EXPECT_EQ(program.productName, setup.productName)
        << Utf8From936(program.productName) << " / " << Utf8From936(setup.productName);
    EXPECT_EQ("VELMOR", setup.companyName);
}

}  // namespace
