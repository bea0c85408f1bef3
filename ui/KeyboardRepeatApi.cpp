#include "ui/KeyboardRepeatApi.h"

KeyboardRepeatApi g_keyboardRepeatApi = {&SystemParametersInfoA};
