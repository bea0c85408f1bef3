#include "framework/DialogTemplate.h"

namespace {

// Reads the template's words front to back, never past its end.
class Cursor
{
public:
    Cursor(const BYTE* begin, const BYTE* end) : m_begin(begin), m_at(begin), m_end(end) {}

    bool Ok() const { return m_at != nullptr; }
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    void Skip(size_t bytes) { Advance(bytes); }
    // A name or an ordinal (0xFFFF and a number), or nothing (0).
    void SkipNameOrOrdinal()
    {
        WORD c = Word();
        if (c == 0xFFFF) {
            Word();
            return;
        }
        while (Ok() && c != 0)
            c = Word();
    }
    // Items start on a DWORD boundary of the template.
    void AlignToDword() { Advance((4 - (m_at - m_begin) % 4) % 4); }

private:
    template <class T>
    T Take()
    {
        T value = 0;
        const BYTE* at = m_at;
        if (Advance(sizeof value))
            CopyMemory(&value, at, sizeof value);
        return value;
    }
    bool Advance(size_t bytes)
    {
        if (m_at == nullptr || static_cast<size_t>(m_end - m_at) < bytes) {
            m_at = nullptr;
            return false;
        }
        m_at += bytes;
        return true;
    }

    const BYTE* m_begin;
    const BYTE* m_at;
    const BYTE* m_end;
};

}  // namespace

bool DialogTemplate::Read(HINSTANCE module, UINT id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr)
        return false;
    Cursor in(bytes, bytes + SizeofResource(module, found));
    const WORD version = in.Word();
    const WORD signature = in.Word();
    in.Skip(2 * sizeof(DWORD));  // help id, extended style
    const DWORD style = in.Dword();
    const int count = in.Word();
    in.Skip(2 * sizeof(short));  // x, y
    const SIZE size = {in.Short(), in.Short()};
    in.SkipNameOrOrdinal();  // menu
    in.SkipNameOrOrdinal();  // class
    in.SkipNameOrOrdinal();  // caption
    const int pointSize = in.Word();
    if (!in.Ok() || version != 1 || signature != 0xFFFF || !(style & DS_SETFONT) || count > kMaxItems)
        return false;
    in.Skip(sizeof(WORD) + 2 * sizeof(BYTE));  // weight, italic, character set
    in.SkipNameOrOrdinal();                    // face
    RECT items[kMaxItems];
    for (int i = 0; i < count; ++i) {
        in.AlignToDword();
        in.Skip(3 * sizeof(DWORD));  // help id, extended style, style
        const short x = in.Short();
        const short y = in.Short();
        const short width = in.Short();
        const short height = in.Short();
        items[i] = {x, y, x + width, y + height};
        in.Skip(sizeof(DWORD));  // id
        in.SkipNameOrOrdinal();  // class
        in.SkipNameOrOrdinal();  // text
        in.Skip(in.Word());      // creation data
    }
    if (!in.Ok())
        return false;
    m_size = size;
    m_pointSize = pointSize;
    m_itemCount = count;
    CopyMemory(m_items, items, sizeof items[0] * count);
    return true;
}
