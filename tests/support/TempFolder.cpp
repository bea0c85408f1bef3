#include "support/TempFolder.h"

#include <windows.h>

#include <cstdio>

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder(const std::string& name)
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static LONG counter;
    // Wine reuses process ids, and a folder of an earlier process may still
    // be on its way out (then creating it again is refused): take the next name.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::string candidate = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(InterlockedIncrement(&counter));
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate + "\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            std::fprintf(stderr, "creating %s failed: error %lu\n", candidate.c_str(), GetLastError());
    }
}

TempFolder::~TempFolder()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool TempFolder::WriteFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool TempFolder::ReadFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return true;
}
