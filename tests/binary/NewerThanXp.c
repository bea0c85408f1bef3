/* Imports GetTickCount64, which Windows XP lacks: the XP import check must
   refuse this program, or it would accept anything. */
#include <windows.h>

int main(void)
{
    return (int)(GetTickCount64() & 1);
}
