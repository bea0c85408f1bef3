#include "app/ProcessObjects.h"

#include "framework/CreationRegistry.h"
#include "framework/ModuleRecord.h"

// One translation unit, so the order below is the construction order: the
// module record first, since the flag window loads its bitmap through it.
ModuleRecord g_moduleRecord;
CreationRegistry g_creationRegistry;
CCHECKDlg g_checkDlg;
CNETFLAGDlg g_netFlagDlg;
CABOUTDlg g_aboutDlg;
CAppModule g_appModule;
