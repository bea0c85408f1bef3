#pragma once
#include "app/DetectionSettings.h"
#include "framework/CDialogImpl.h"
#include "res/resource.h"
#include "ui/CCtrlHollowColor.h"
#include "ui/CPaintBkgnd.h"
#include "ui/FittedFont.h"
#include "ui/Palette.h"

// What the dialog asks of the platform besides its window: tests give it a
// module path the settings file cannot be built from, and see its boxes.
struct CheckDlgApi
{
    const ModulePathApi* modulePath;
    int(WINAPI* messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
};

extern const CheckDlgApi kSystemCheckDlgApi;

// Detection settings: whether start-up checks the optical drives. Shows the
// stored choice each time it opens; OK stores the new one, Cancel nothing.
// A choice that cannot be stored is not taken for stored: the user is told
// why, and the dialog stays open with it.
class CCHECKDlg : public CDialogImpl<CCHECKDlg>,
                  public CCtrlHollowColor<CCHECKDlg, kGreenText, kPaleGreen>,
                  public CPaintBkgnd<CCHECKDlg, kLightGrey>
{
public:
    enum { IDD = IDD_CHECK };

    explicit CCHECKDlg(const CheckDlgApi& api = kSystemCheckDlgApi) : m_api(api) {}
    ~CCHECKDlg() override = default;

    BOOL RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                      DWORD mapId) override;

    // For a program that is ending: ends the dialog as Cancel does, and the
    // box it may be showing, whose own loop would wait for a user.
    void EndNow();

private:
    // The framework's dialog base calls AfterDpiChange.
    friend class CDialogImpl<CCHECKDlg>;

    // After a change of the screen's DPI: the texts fitted anew.
    void AfterDpiChange();

    LRESULT OnInitDialog();
    LRESULT OnOk();
    LRESULT OnCancel();
    void ReportNotSaved(DWORD error);

    const CheckDlgApi& m_api;

    // Its texts' font where the dialog's own is too large for them.
    FittedFont m_textFont;
};

// The one settings dialog object, defined with the other process-wide objects.
extern CCHECKDlg g_checkDlg;
