// Centring a window over its owner, the work area or its parent.
#include <gtest/gtest.h>

#include <string>

#include "Probes.h"
#include "framework/CWindow.h"

namespace {

// Centre a span of `size` on [lo, hi), halving toward zero, then keep it
// inside [areaLo, areaHi) with the low edge winning.
LONG Centre(LONG lo, LONG hi, LONG size, LONG areaLo, LONG areaHi)
{
    LONG at = (lo + hi) / 2 - size / 2;
    if (at < areaLo)
        at = areaLo;
    else if (at + size > areaHi)
        at = areaHi - size;
    return at;
}

RECT WorkArea()
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::string Where(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

RECT WindowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// Windows made here are destroyed when the test ends, owners last.
class CenterTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            DestroyWindow(*it);
    }

    HWND Make(DWORD style, HWND parent, int x, int y, int width, int height)
    {
        HWND window = CreateTestWindow(style, parent, x, y, width, height);
        EXPECT_NE(nullptr, window);
        // The arithmetic below relies on the size asked for.
        const RECT r = WindowRect(window);
        EXPECT_EQ(width, r.right - r.left) << Where(r);
        EXPECT_EQ(height, r.bottom - r.top) << Where(r);
        made.push_back(window);
        return window;
    }

    // Centres `window` and returns its new top-left corner.
    static POINT CentreAndRead(HWND window, HWND center = nullptr)
    {
        CWindow wrapper;
        wrapper.m_hWnd = window;
        wrapper.CenterOverOwner(center);
        const RECT r = WindowRect(window);
        return POINT{r.left, r.top};
    }

    std::vector<HWND> made;
};

// Odd sizes over an owner whose edges add up to even numbers: only
// (l + r) / 2 - w / 2 gives these positions; l + ((r - l) - w) / 2 and
// (l + r - w) / 2 are one pixel off.
constexpr int kOddWidth = 151;
constexpr int kOddHeight = 77;

TEST_F(CenterTest, OverAVisibleOwnerToTheExactHalvedPixel)
{
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, 100, 120, 410, 300);
    HWND window = Make(WS_POPUP, owner, 0, 0, kOddWidth, kOddHeight);
    const RECT area = WorkArea();
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(Centre(100, 510, kOddWidth, area.left, area.right), at.x);
    EXPECT_EQ(Centre(120, 420, kOddHeight, area.top, area.bottom), at.y);
    // Worked out by hand: 610 / 2 - 75 and 540 / 2 - 38.
    EXPECT_EQ(230, at.x);
    EXPECT_EQ(232, at.y);
}

TEST_F(CenterTest, OverAVisibleOwnerAtTheWorkAreasRightAndBottomEdges)
{
    const RECT area = WorkArea();
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, area.right - 120, area.bottom - 60, 200, 100);
    HWND window = Make(WS_POPUP, owner, 0, 0, kOddWidth, kOddHeight);
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(area.right - kOddWidth, at.x);
    EXPECT_EQ(area.bottom - kOddHeight, at.y);
}

TEST_F(CenterTest, OverAVisibleOwnerBeyondTheWorkAreasLeftAndTopEdges)
{
    const RECT area = WorkArea();
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, area.left - 150, area.top - 120, 200, 150);
    HWND window = Make(WS_POPUP, owner, 300, 300, kOddWidth, kOddHeight);
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(area.left, at.x);
    EXPECT_EQ(area.top, at.y);
}

TEST_F(CenterTest, AHiddenOwnerCountsAsNoneAndTheWorkAreaIsTheTarget)
{
    HWND owner = Make(WS_POPUP, nullptr, 100, 120, 410, 300);
    HWND window = Make(WS_POPUP, owner, 0, 0, kOddWidth, kOddHeight);
    const RECT area = WorkArea();
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(Centre(area.left, area.right, kOddWidth, area.left, area.right), at.x);
    EXPECT_EQ(Centre(area.top, area.bottom, kOddHeight, area.top, area.bottom), at.y);
    EXPECT_NE(230, at.x) << "centred over the hidden owner";
}

TEST_F(CenterTest, AMinimisedOwnerCountsAsNoneAndTheWorkAreaIsTheTarget)
{
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 100, 120, 410, 300);
    HWND window = Make(WS_POPUP, owner, 0, 0, kOddWidth, kOddHeight);
    ShowWindow(owner, SW_MINIMIZE);
    ASSERT_TRUE(GetWindowLongPtrA(owner, GWL_STYLE) & WS_MINIMIZE);
    ASSERT_TRUE(GetWindowLongPtrA(owner, GWL_STYLE) & WS_VISIBLE);
    const RECT area = WorkArea();
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(Centre(area.left, area.right, kOddWidth, area.left, area.right), at.x) << Where(WindowRect(owner));
    EXPECT_EQ(Centre(area.top, area.bottom, kOddHeight, area.top, area.bottom), at.y) << Where(WindowRect(owner));
}

TEST_F(CenterTest, AWindowWithoutOwnerGoesToTheMiddleOfTheWorkArea)
{
    HWND window = Make(WS_POPUP, nullptr, 0, 0, kOddWidth, kOddHeight);
    const RECT area = WorkArea();
    const POINT at = CentreAndRead(window);
    EXPECT_EQ(Centre(area.left, area.right, kOddWidth, area.left, area.right), at.x);
    EXPECT_EQ(Centre(area.top, area.bottom, kOddHeight, area.top, area.bottom), at.y);
}

TEST_F(CenterTest, AWindowLargerThanTheWorkAreaKeepsItsLeftAndTopEdgesInside)
{
    const RECT area = WorkArea();
    const int width = area.right - area.left + 101;
    const int height = area.bottom - area.top + 51;
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, 100, 120, 410, 300);
    HWND window = Make(WS_POPUP, owner, 40, 40, width, height);
    POINT at = CentreAndRead(window);
    EXPECT_EQ(area.left, at.x);
    EXPECT_EQ(area.top, at.y);
    HWND alone = Make(WS_POPUP, nullptr, 40, 40, width, height);
    at = CentreAndRead(alone);
    EXPECT_EQ(area.left, at.x);
    EXPECT_EQ(area.top, at.y);
}

TEST_F(CenterTest, OverAWindowGivenExplicitlyRatherThanTheOwner)
{
    HWND owner = Make(WS_POPUP | WS_VISIBLE, nullptr, 100, 120, 410, 300);
    HWND other = Make(WS_POPUP | WS_VISIBLE, nullptr, 600, 200, 300, 200);
    HWND window = Make(WS_POPUP, owner, 0, 0, kOddWidth, kOddHeight);
    const RECT area = WorkArea();
    const POINT at = CentreAndRead(window, other);
    EXPECT_EQ(Centre(600, 900, kOddWidth, area.left, area.right), at.x);
    EXPECT_EQ(Centre(200, 400, kOddHeight, area.top, area.bottom), at.y);
}

POINT InParent(HWND child)
{
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return POINT{r.left, r.top};
}

TEST_F(CenterTest, AChildGoesToTheMiddleOfItsParentsClientArea)
{
    HWND parent = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 50, 60, 400, 300);
    RECT client;
    GetClientRect(parent, &client);
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 3, 4, 51, 31);
    CentreAndRead(child);
    const POINT at = InParent(child);
    EXPECT_EQ(Centre(0, client.right, 51, 0, client.right), at.x) << Where(client);
    EXPECT_EQ(Centre(0, client.bottom, 31, 0, client.bottom), at.y) << Where(client);
}

// Over a sibling, the target is the sibling's client area (below its
// caption, so not centred in its window rectangle) in the parent's client
// coordinates.
TEST_F(CenterTest, AChildCentredOverASiblingUsesTheSiblingsClientArea)
{
    HWND parent = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 50, 60, 400, 300);
    RECT client;
    GetClientRect(parent, &client);
    HWND sibling = Make(WS_CHILD | WS_VISIBLE | WS_CAPTION, parent, 20, 30, 101, 81);
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 0, 0, 51, 31);
    RECT target;
    GetClientRect(sibling, &target);
    MapWindowPoints(sibling, parent, reinterpret_cast<POINT*>(&target), 2);
    ASSERT_GT(target.top - 30, 2 * (target.left - 20)) << "no caption on the sibling: " << Where(target);
    CentreAndRead(child, sibling);
    const POINT at = InParent(child);
    EXPECT_EQ(Centre(target.left, target.right, 51, 0, client.right), at.x) << Where(target);
    EXPECT_EQ(Centre(target.top, target.bottom, 31, 0, client.bottom), at.y) << Where(target);
}

TEST_F(CenterTest, AChildLargerThanItsParentsClientAreaKeepsItsLeftAndTopEdgesInside)
{
    HWND parent = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 50, 60, 300, 200);
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 10, 10, 500, 400);
    CentreAndRead(child);
    const POINT at = InParent(child);
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
}

}  // namespace
