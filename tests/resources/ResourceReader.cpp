#include "ResourceReader.h"

#include <cctype>
#include <cstring>

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// Reads little-endian fields off a template, DWORD alignment counted from
// the start of the resource.
class Reader
{
public:
    explicit Reader(const std::string& bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }

    template <class T>
    T Take()
    {
        T value{};
        if (m_position + sizeof(T) > m_bytes.size()) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_position, sizeof(T));
        m_position += sizeof(T);
        return value;
    }

    std::wstring String()
    {
        std::wstring text;
        for (wchar_t c = Take<wchar_t>(); m_ok && c != 0; c = Take<wchar_t>())
            text += c;
        return text;
    }

    // A string, or 0xFFFF and an ordinal written as "#n".
    std::wstring StringOrOrdinal()
    {
        const size_t start = m_position;
        if (Take<WORD>() == 0xFFFF)
            return L"#" + std::to_wstring(Take<WORD>());
        m_position = start;
        return String();
    }

    void Skip(size_t count) { m_position += count; }
    void AlignToDword() { m_position = (m_position + 3) & ~size_t{3}; }

private:
    const std::string& m_bytes;
    size_t m_position = 0;
    bool m_ok = true;
};

std::string ClassName(const std::wstring& raw)
{
    static const char* const predefined[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (!raw.empty() && raw[0] == L'#') {
        const int ordinal = std::stoi(raw.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return predefined[ordinal - 0x80];
    }
    std::string name;
    for (wchar_t c : raw)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c < 0x80 ? c : '?')));
    return name;
}

}  // namespace

std::vector<WORD> ResourceLanguages(LPCSTR type, LPCSTR name)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, name, &CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

bool ResourceBytes(LPCSTR type, LPCSTR name, WORD language, std::string& bytes)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, name, language);
    if (found == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr)
        return false;
    bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
    return true;
}

bool ParseDialogEx(const std::string& bytes, DialogTemplate& dialog)
{
    Reader in(bytes);
    dialog.version = in.Take<WORD>();
    dialog.signature = in.Take<WORD>();
    if (dialog.version != 1 || dialog.signature != 0xFFFF)
        return false;
    dialog.helpId = in.Take<DWORD>();
    dialog.exStyle = in.Take<DWORD>();
    dialog.style = in.Take<DWORD>();
    const WORD count = in.Take<WORD>();
    dialog.x = in.Take<short>();
    dialog.y = in.Take<short>();
    dialog.cx = in.Take<short>();
    dialog.cy = in.Take<short>();
    dialog.menu = in.StringOrOrdinal();
    dialog.className = in.StringOrOrdinal();
    dialog.caption = in.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.Take<WORD>();
        dialog.weight = in.Take<WORD>();
        dialog.italic = in.Take<BYTE>();
        dialog.charset = in.Take<BYTE>();
        dialog.face = in.String();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        DialogItem item;
        item.helpId = in.Take<DWORD>();
        item.exStyle = in.Take<DWORD>();
        item.style = in.Take<DWORD>();
        item.x = in.Take<short>();
        item.y = in.Take<short>();
        item.cx = in.Take<short>();
        item.cy = in.Take<short>();
        item.id = static_cast<int>(in.Take<DWORD>());
        item.className = ClassName(in.StringOrOrdinal());
        item.text = in.StringOrOrdinal();
        item.extraBytes = in.Take<WORD>();
        in.Skip(item.extraBytes);
        dialog.items.push_back(item);
    }
    return in.ok();
}

std::string XmlAttributes(const std::string& xml, const std::string& scope, const std::string& tag)
{
    size_t begin = 0;
    size_t end = xml.size();
    if (!scope.empty()) {
        begin = xml.find("<" + scope);
        if (begin == std::string::npos)
            return {};
        end = xml.find("</" + scope, begin);
        if (end == std::string::npos)
            end = xml.size();
    }
    size_t at = begin;
    for (;;) {
        at = xml.find("<" + tag, at);
        if (at == std::string::npos || at >= end)
            return {};
        const char next = xml[at + 1 + tag.size()];
        if (std::isspace(static_cast<unsigned char>(next)) || next == '/' || next == '>')
            break;
        at += 1 + tag.size();
    }
    const size_t close = xml.find('>', at);
    const std::string element = xml.substr(at + 1 + tag.size(), close - at - 1 - tag.size());
    std::string attributes;
    size_t i = 0;
    while (i < element.size()) {
        while (i < element.size() && (std::isspace(static_cast<unsigned char>(element[i])) || element[i] == '/'))
            ++i;
        const size_t equals = element.find('=', i);
        if (equals == std::string::npos)
            break;
        const char quote = element[equals + 1];
        const size_t valueEnd = element.find(quote, equals + 2);
        attributes += element.substr(i, equals - i) + "=" + element.substr(equals + 2, valueEnd - equals - 2) + "\n";
        i = valueEnd + 1;
    }
    return attributes;
}

std::string XmlAttribute(const std::string& attributes, const std::string& name)
{
    const std::string key = name + "=";
    size_t at = 0;
    while (at < attributes.size()) {
        const size_t end = attributes.find('\n', at);
        const std::string line = attributes.substr(at, end - at);
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size());
        at = end + 1;
    }
    return "<missing>";
}
