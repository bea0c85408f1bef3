#pragma once
#include <string>

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes. `name` (code page 936) becomes part of the
// folder's name, so tests can put spaces and Chinese characters in paths.
class TempFolder
{
public:
    explicit TempFolder(const std::string& name = "netchange");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing backslash.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

    static bool WriteFile(const std::string& path, const std::string& bytes);
    static bool ReadFile(const std::string& path, std::string& bytes);

private:
    std::string m_path;
};
