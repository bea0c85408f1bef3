/* A static Linux i386 program: it runs only where the kernel runs 32-bit x86
 * code, which the shipped 32-bit NetChange needs under Wine. The test
 * session starts it once to decide whether the i686 tests run or are
 * reported skipped. */
#include <stdio.h>

int main(void)
{
    puts("32-bit x86 code runs here");
    return 0;
}
