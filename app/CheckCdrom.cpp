#include "app/CheckCdrom.h"

const DriveApi kSystemDriveApi = {
    &GetLogicalDrives, &GetDriveTypeA, &GetVolumeInformationA, &GetLastError, &MessageBoxA,
};

namespace {

constexpr char kCaption[] = "提示";

void Notify(const DriveApi& api, const char* text)
{
    api.messageBox(nullptr, text, kCaption, MB_OK);
}

}  // namespace

bool CheckCdrom(const DriveApi& api)
{
    char errorText[260] = {};
    const DWORD drives = api.getLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (DWORD{1} << i)))
            continue;
        const char root[4] = {static_cast<char>('A' + i), ':', '\\', '\0'};
        if (api.getDriveType(root) != DRIVE_CDROM)
            continue;
        char fileSystem[1024] = {};
        if (!api.getVolumeInformation(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem)) {
            const DWORD error = api.getLastError();
            if (error == ERROR_NOT_READY || error == ERROR_INVALID_PARAMETER) {
                Notify(api, "设备未就绪，请插入光盘!");
            } else {
                wsprintfA(errorText, "错误%d\n", static_cast<int>(error));
                Notify(api, errorText);
            }
            return false;
        }
        // File-system names are short; the cut only guards the text buffer.
        char name[64];
        lstrcpynA(name, fileSystem, sizeof name);
        char text[512] = {};
        wsprintfA(text, "光盘已经插入，文件系统类别为%s\n", name);
        Notify(api, text);
    }
    return true;
}
