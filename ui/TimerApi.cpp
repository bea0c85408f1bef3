#include "ui/TimerApi.h"

TimerApi g_timerApi = {&SetTimer};
