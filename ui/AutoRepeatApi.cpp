#include "ui/AutoRepeatApi.h"

AutoRepeatApi g_autoRepeatApi = {&SystemParametersInfoA, &SetTimer};
