// The process-wide objects. One translation unit, so the order below is the
// construction order: the module record first, since the flag window loads
// its bitmap through it. Each class's header declares its own.
#include "dialogs/CABOUTDlg.h"
#include "dialogs/CCHECKDlg.h"
#include "framework/CAppModule.h"
#include "framework/CreationRegistry.h"
#include "framework/ModuleRecord.h"
#include "panel/CNETFLAGDlg.h"

ModuleRecord g_moduleRecord;
CreationRegistry g_creationRegistry;
CCHECKDlg g_checkDlg;
CNETFLAGDlg g_netFlagDlg;
CABOUTDlg g_aboutDlg;
CAppModule g_appModule;
