#pragma once
// The process-wide objects, constructed before WinMain in the order of
// their definitions in ProcessObjects.cpp and destroyed in reverse after it.
#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "framework/CAppModule.h"
#include "panel/CNETFLAGDlg.h"

extern CCHECKDlg g_checkDlg;
extern CNETFLAGDlg g_netFlagDlg;
extern CABOUTDlg g_aboutDlg;
extern CAppModule g_appModule;
