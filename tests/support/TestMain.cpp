// The test programs' entry: GoogleTest's, with two changes for Wine, where a
// test program writes into CTest's pipe. Its output goes out as it comes,
// not when the program ends, and a crash says so: a test that ends early
// shows how far it got instead of nothing at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "crashed: exception 0x%08lX at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetUnhandledExceptionFilter(&ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
