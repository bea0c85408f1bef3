// The program's dialog classes with their mixins, answering the look
// messages as their classes chain them.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/Canvas.h"
#include "support/MessageNames.h"
#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "panel/CMainDlg.h"
#include "panel/CNETFLAGDlg.h"
#include "res/resource.h"
#include "ui/ScaledPicture.h"

namespace {

constexpr COLORREF kGreenText = 0x408040;
constexpr COLORREF kLightGrey = 0xF3F2F0;
constexpr COLORREF kPaleGreen = 0xD7F1D7;
constexpr COLORREF kSentinel = RGB(0xFE, 0x01, 0xFD);

// Runs a modal dialog and, when it first activates, calls `probe` with its
// window from inside the dialog's own thread, then cancels it. A dialog that
// never activates is ended after a while so the test fails instead of
// hanging.
class ModalProbe
{
public:
    explicit ModalProbe(std::function<void(HWND)> probe) : m_probe(std::move(probe)) {}

    INT_PTR Run(const std::function<INT_PTR()>& runModal)
    {
        m_current = this;
        HHOOK hook = SetWindowsHookExA(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
        const UINT_PTR rescue = SetTimer(nullptr, 0, 5000, &OnRescue);
        const INT_PTR result = runModal();
        KillTimer(nullptr, rescue);
        UnhookWindowsHookEx(hook);
        m_current = nullptr;
        return result;
    }

    bool Probed() const { return m_probed; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        ModalProbe* self = m_current;
        if (self != nullptr && !self->m_probed) {
            HWND window = reinterpret_cast<HWND>(wParam);
            char className[16] = {};
            GetClassNameA(window, className, sizeof className);
            if (std::string(className) == "#32770") {
                if (code == HCBT_CREATEWND)
                    self->m_created = window;
                if (code == HCBT_ACTIVATE) {
                    self->m_probed = true;
                    self->m_probe(window);
                    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                }
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void CALLBACK OnRescue(HWND, UINT, UINT_PTR, DWORD)
    {
        if (m_current != nullptr && m_current->m_created != nullptr)
            EndDialog(m_current->m_created, -2);
    }

    std::function<void(HWND)> m_probe;
    HWND m_created = nullptr;
    bool m_probed = false;
    static ModalProbe* m_current;
};

ModalProbe* ModalProbe::m_current = nullptr;

// One look message as the platform would deliver it.
struct Look
{
    INT_PTR answer = 0;
    LRESULT messageResult = 0;
    DcState dc = {};
};

// Calls the dialog procedure the window has now, as the dialog manager
// does, so the answer is the procedure's own and not what default
// processing makes of it.
Look AskDialogProcedure(HWND dialog, UINT message, HDC dc, LPARAM control)
{
    PrimeDcState(dc);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0x5EED);
    auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    Look look;
    look.answer = procedure(dialog, message, reinterpret_cast<WPARAM>(dc), control);
    look.messageResult = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
    look.dc = ReadDcState(dc);
    return look;
}

// What one of the two secondary dialogs answered while it was open.
struct SecondaryLook
{
    RECT client = {};
    Look staticColour;
    Look buttonColour;
    Look dialogColour;
    Look erase;
    LRESULT sentStatic = 0;
    LRESULT sentErase = 0;
    int eraseMisses = -1;
    int eraseOverflow = -1;
    int sentEraseMisses = -1;
};

SecondaryLook ProbeSecondary(HWND dialog)
{
    SecondaryLook look;
    GetClientRect(dialog, &look.client);
    Canvas canvas(look.client.right + 30, look.client.bottom + 30);
    HDC dc = canvas.Dc();
    const LPARAM control = reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK));
    look.staticColour = AskDialogProcedure(dialog, WM_CTLCOLORSTATIC, dc, control);
    look.buttonColour = AskDialogProcedure(dialog, WM_CTLCOLORBTN, dc, control);
    look.dialogColour = AskDialogProcedure(dialog, WM_CTLCOLORDLG, dc, reinterpret_cast<LPARAM>(dialog));

    canvas.Fill(kSentinel);
    look.erase = AskDialogProcedure(dialog, WM_ERASEBKGND, dc, 0);
    look.eraseMisses = canvas.CountOther(look.client, kLightGrey);
    look.eraseOverflow = canvas.CountOther({look.client.right, 0, canvas.Width(), canvas.Height()}, kSentinel) +
                         canvas.CountOther({0, look.client.bottom, canvas.Width(), canvas.Height()}, kSentinel);

    // And through the window, as the system itself asks.
    PrimeDcState(dc);
    look.sentStatic = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), control);
    canvas.Fill(kSentinel);
    look.sentErase = SendMessageA(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    look.sentEraseMisses = canvas.CountOther(look.client, kLightGrey);
    return look;
}

DcState GreenTransparent()
{
    return {kGreenText, kPrimedState.background, TRANSPARENT};
}

void CheckSecondaryLook(const SecondaryLook& look)
{
    ASSERT_GT(look.client.right, 0);
    ASSERT_GT(look.client.bottom, 0);
    const INT_PTR hollow = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));

    EXPECT_EQ(hollow, look.staticColour.answer);
    EXPECT_EQ(GreenTransparent(), look.staticColour.dc) << Describe(look.staticColour.dc);

    // The button's brush is left to the system; only the text is coloured.
    EXPECT_EQ(0, look.buttonColour.answer);
    EXPECT_EQ(GreenTransparent(), look.buttonColour.dc) << Describe(look.buttonColour.dc);

    EXPECT_EQ(0, look.dialogColour.answer);
    EXPECT_EQ(kPrimedState, look.dialogColour.dc) << Describe(look.dialogColour.dc);

    EXPECT_NE(0, look.erase.answer);
    EXPECT_EQ(1, look.erase.messageResult);
    EXPECT_EQ(kPrimedState, look.erase.dc) << Describe(look.erase.dc);
    EXPECT_EQ(0, look.eraseMisses);
    EXPECT_EQ(0, look.eraseOverflow);

    EXPECT_EQ(hollow, look.sentStatic);
    EXPECT_EQ(1, look.sentErase);
    EXPECT_EQ(0, look.sentEraseMisses);
}

TEST(DialogLook, DetectionSettingsDialogIsGreenTextOnLightGrey)
{
    CCHECKDlg dialog;
    SecondaryLook look;
    ModalProbe probe([&](HWND window) { look = ProbeSecondary(window); });
    EXPECT_EQ(IDCANCEL, probe.Run([&] { return dialog.RunModal(nullptr); }));
    ASSERT_TRUE(probe.Probed());
    CheckSecondaryLook(look);
}

TEST(DialogLook, AboutDialogIsGreenTextOnLightGrey)
{
    CABOUTDlg dialog;
    SecondaryLook look;
    ModalProbe probe([&](HWND window) { look = ProbeSecondary(window); });
    EXPECT_EQ(IDCANCEL, probe.Run([&] { return dialog.RunModal(nullptr); }));
    ASSERT_TRUE(probe.Probed());
    CheckSecondaryLook(look);
}

// The main dialog's map is asked directly on a window of the panel's size:
// running the panel itself would start the flag thread, write the registry
// and add a tray icon, none of which these messages touch.
class MainDialogLook : public testing::Test
{
protected:
    void SetUp() override { m_panel.m_hWnd = m_window.Handle(); }
    void TearDown() override { m_panel.m_hWnd = nullptr; }

    Look Ask(UINT message, HDC dc)
    {
        PrimeDcState(dc);
        LRESULT result = 0x5EED;
        Look look;
        look.answer = m_panel.RouteMessage(m_window.Handle(), message, reinterpret_cast<WPARAM>(dc), 0, result, 0);
        look.messageResult = result;
        look.dc = ReadDcState(dc);
        return look;
    }

    // Wider and taller than the 522 × 344 skin, so a fill behind it would show.
    PlainWindow m_window{530, 350};
    CMainDlg m_panel;
};

TEST_F(MainDialogLook, StaticTextIsHollowGreenNotBlue)
{
    Canvas canvas(10, 10);
    const Look look = Ask(WM_CTLCOLORSTATIC, canvas.Dc());
    EXPECT_TRUE(look.answer);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), look.messageResult);
    EXPECT_EQ(GreenTransparent(), look.dc) << Describe(look.dc);
}

TEST_F(MainDialogLook, ButtonColourIsGreenWithTheSystemBrush)
{
    Canvas canvas(10, 10);
    const Look look = Ask(WM_CTLCOLORBTN, canvas.Dc());
    EXPECT_TRUE(look.answer);
    EXPECT_EQ(0, look.messageResult);
    EXPECT_EQ(GreenTransparent(), look.dc) << Describe(look.dc);
}

TEST_F(MainDialogLook, DialogColourIsThePaleGreenBrush)
{
    Canvas canvas(10, 10);
    const Look look = Ask(WM_CTLCOLORDLG, canvas.Dc());
    EXPECT_TRUE(look.answer);
    const BrushInfo brush = ReadBrush(reinterpret_cast<HGDIOBJ>(look.messageResult));
    ASSERT_TRUE(brush.valid);
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), brush.style);
    EXPECT_EQ(Hex(kPaleGreen), Hex(brush.colour));
    EXPECT_EQ(kPrimedState, look.dc) << Describe(look.dc);
}

TEST_F(MainDialogLook, EraseShowsTheSkinAndNoGreyFill)
{
    const ResourceBitmap skin = ReadResourceBitmap(IDB_PANEL);
    ASSERT_EQ(522, skin.width);
    ASSERT_EQ(344, skin.height);
    Canvas canvas(530, 350);
    canvas.Fill(kSentinel);
    const Look look = Ask(WM_ERASEBKGND, canvas.Dc());
    EXPECT_TRUE(look.answer);
    EXPECT_EQ(1, look.messageResult);

    // The skin with its edges continued; the 0xE7E7E7 fill of the panel's
    // CPaintBkgnd never runs.
    EXPECT_EQ(0, CountNotPicture(canvas, skin, 530, 350));
    EXPECT_NE(Hex(0xE7E7E7), Hex(canvas.At(529, 349)));
}

TEST_F(MainDialogLook, OtherMessagesAndMapsPassUnanswered)
{
    Canvas canvas(10, 10);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORMSGBOX, WM_PAINT}) {
        SCOPED_TRACE(MessageName(message));
        const Look look = Ask(message, canvas.Dc());
        EXPECT_FALSE(look.answer);
        EXPECT_EQ(0x5EED, look.messageResult);
        EXPECT_EQ(kPrimedState, look.dc) << Describe(look.dc);
    }
    for (UINT message : {WM_ERASEBKGND, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG}) {
        SCOPED_TRACE(MessageName(message) + " map 1");
        PrimeDcState(canvas.Dc());
        canvas.Fill(kSentinel);
        LRESULT result = 0x5EED;
        const WPARAM dc = reinterpret_cast<WPARAM>(canvas.Dc());
        EXPECT_FALSE(m_panel.RouteMessage(m_window.Handle(), message, dc, 0, result, 1));
        EXPECT_EQ(0x5EED, result);
        EXPECT_EQ(kPrimedState, ReadDcState(canvas.Dc()));
        EXPECT_EQ(0, canvas.CountOther({0, 0, 10, 10}, kSentinel));
    }
}

// The flag window paints its 48 × 48 picture, its edges continued over a
// client area a few pixels larger, and leaves the colour messages to the system.
TEST(FlagDialogLook, BitmapInTheCornerAndNoColourAnswers)
{
    const ResourceBitmap flag = ReadResourceBitmap(IDB_NETFLAG);
    ASSERT_EQ(48, flag.width);
    CNETFLAGDlg dialog;
    PlainWindow window(50, 51);
    dialog.m_hWnd = window.Handle();

    Canvas canvas(50, 51);
    canvas.Fill(kSentinel);
    LRESULT result = 0x5EED;
    const WPARAM dc = reinterpret_cast<WPARAM>(canvas.Dc());
    EXPECT_TRUE(dialog.RouteMessage(window.Handle(), WM_ERASEBKGND, dc, 0, result, 0));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, CountNotPicture(canvas, flag, 50, 51));

    for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG}) {
        SCOPED_TRACE(MessageName(message));
        PrimeDcState(canvas.Dc());
        result = 0x5EED;
        EXPECT_FALSE(dialog.RouteMessage(window.Handle(), message, dc, 0, result, 0));
        EXPECT_EQ(0x5EED, result);
        EXPECT_EQ(kPrimedState, ReadDcState(canvas.Dc()));
    }
    dialog.m_hWnd = nullptr;
}

// Larger, the flag takes its picture from the copy drawn for the size next
// above its own, or the largest, resampled; smaller, from its own.
TEST(FlagDialogLook, APictureDrawnForTheNextSizeUpIsShrunk)
{
    const struct
    {
        SIZE area;
        UINT bitmap;
    } cases[] = {{{32, 36}, IDB_NETFLAG}, {{60, 64}, IDB_NETFLAG_96}, {{88, 94}, IDB_NETFLAG_96},
                 {{96, 96}, IDB_NETFLAG_96}, {{136, 149}, IDB_NETFLAG_144}};
    CNETFLAGDlg dialog;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.area.cx) + "x" + std::to_string(c.area.cy));
        PlainWindow window(c.area.cx, c.area.cy);
        dialog.m_hWnd = window.Handle();
        Canvas drawn(c.area.cx, c.area.cy);
        LRESULT result = 0;
        dialog.RouteMessage(window.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawn.Dc()), 0, result, 0);
        HBITMAP source = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.bitmap));
        BITMAP shape = {};
        GetObjectW(source, sizeof shape, &shape);
        HBITMAP resampled = ScaledPicture::Resample(source, {shape.bmWidth, shape.bmHeight}, c.area);
        Canvas expected(c.area.cx, c.area.cy);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ replaced = SelectObject(memory, resampled);
        BitBlt(expected.Dc(), 0, 0, c.area.cx, c.area.cy, memory, 0, 0, SRCCOPY);
        SelectObject(memory, replaced);
        DeleteDC(memory);
        DeleteObject(resampled);
        DeleteObject(source);
        EXPECT_EQ(0, drawn.CountDifferent(expected));
    }
    dialog.m_hWnd = nullptr;
}

}  // namespace
