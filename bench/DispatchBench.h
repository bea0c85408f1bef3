#pragma once
// The dispatch benchmark's dialog template, the same for both dialogs.
#define IDD_DISPATCH_BENCH 940
