#pragma once
#include <windows.h>

// A dialog template of the program's resources (DIALOGEX), read for what a
// layout at another DPI needs: the dialog's size, its font's point size and
// each item's rectangle, all in dialog units, items in template order.
class DialogTemplate
{
public:
    static constexpr int kMaxItems = 16;

    // False, and nothing read, when the resource is missing, is not a
    // DIALOGEX with a font, ends early or has more than kMaxItems items.
    bool Read(HINSTANCE module, UINT id);

    SIZE Size() const { return m_size; }
    int PointSize() const { return m_pointSize; }
    int ItemCount() const { return m_itemCount; }
    const RECT& Item(int index) const { return m_items[index]; }

private:
    SIZE m_size = {0, 0};
    int m_pointSize = 0;
    int m_itemCount = 0;
    RECT m_items[kMaxItems] = {};
};
