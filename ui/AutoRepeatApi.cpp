#include "ui/AutoRepeatApi.h"

const AutoRepeatApi kSystemAutoRepeatApi = {&SystemParametersInfoA, &SetTimer};
