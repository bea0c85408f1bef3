#pragma once
#include <windows.h>

// The platform calls the optical-drive check makes; tests play drives,
// errors and message boxes through their own table.
struct DriveApi
{
    DWORD(WINAPI* getLogicalDrives)();
    UINT(WINAPI* getDriveType)(LPCSTR root);
    BOOL(WINAPI* getVolumeInformation)(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serial,
                                       LPDWORD maxComponentLength, LPDWORD flags, LPSTR fileSystemName,
                                       DWORD fileSystemNameSize);
    DWORD(WINAPI* getLastError)();
    int(WINAPI* messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
};

extern const DriveApi kSystemDriveApi;

// Walks the drive letters A to Z and tells the user, drive by drive, that a
// disc is in each optical drive and which file system it carries. Stops at
// the first optical drive whose volume cannot be read, after saying why.
// True when all letters were examined without a failed read.
bool CheckCdrom(const DriveApi& api = kSystemDriveApi);
