// The program's icon on every dialog: big and small at the system's sizes,
// loaded once and shared.
#include <gtest/gtest.h>

#include "support/Canvas.h"
#include "ui/DialogIcons.h"

namespace {

SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return {0, 0};
    BITMAP shape = {};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof shape, &shape);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {shape.bmWidth, info.hbmColor != nullptr ? shape.bmHeight : shape.bmHeight / 2};
}

HICON IconOf(HWND window, WPARAM which)
{
    return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0));
}

TEST(DialogIcons, EveryDialogSharesOneBigAndOneSmallIconAtTheSystemSizes)
{
    PlainWindow first(20, 20);
    PlainWindow second(20, 20);
    ASSERT_EQ(nullptr, IconOf(first.Handle(), ICON_BIG));
    SetDialogIcons(first.Handle());
    SetDialogIcons(second.Handle());

    const HICON big = IconOf(first.Handle(), ICON_BIG);
    const HICON small = IconOf(first.Handle(), ICON_SMALL);
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    EXPECT_NE(big, small);
    EXPECT_EQ(big, IconOf(second.Handle(), ICON_BIG));
    EXPECT_EQ(small, IconOf(second.Handle(), ICON_SMALL));

    const SIZE bigSize = IconSize(big);
    const SIZE smallSize = IconSize(small);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), bigSize.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), bigSize.cy);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), smallSize.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), smallSize.cy);
}

// Dialogs come and go; the icons stay valid for the next one.
TEST(DialogIcons, IconsOutliveTheDialogsThatShowedThem)
{
    HICON big = nullptr;
    {
        PlainWindow shown(20, 20);
        SetDialogIcons(shown.Handle());
        big = IconOf(shown.Handle(), ICON_BIG);
    }
    ASSERT_NE(nullptr, big);
    EXPECT_GT(IconSize(big).cx, 0);
    PlainWindow next(20, 20);
    SetDialogIcons(next.Handle());
    EXPECT_EQ(big, IconOf(next.Handle(), ICON_BIG));
}

}  // namespace
