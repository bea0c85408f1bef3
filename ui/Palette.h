#pragma once
#include <windows.h>

// The colours of the program's dialogs.
constexpr COLORREF kGreenText = RGB(64, 128, 64);     // statics and buttons of every dialog
constexpr COLORREF kPaleGreen = RGB(215, 241, 215);   // the main dialog's own brush
constexpr COLORREF kLightGrey = RGB(240, 242, 243);   // the settings and About dialogs' background
// The main dialog's blue text and grey fill never show: its hollow green
// text and its picture answer first (see CMainDlg::RouteMessage).
constexpr COLORREF kBlueText = RGB(0, 0, 255);
constexpr COLORREF kPanelGrey = RGB(231, 231, 231);
