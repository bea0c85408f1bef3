// The x86 entry trampoline, executed for real and on its own, wherever 32-bit
// Windows code runs or not: this Linux i386 program writes the stubs with the
// program's encoder into executable memory and calls through them the way
// the dialog manager calls a dialog procedure (stdcall, four arguments),
// under qemu-i386, and checks what arrives, failure cases included.
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/EntryTrampoline.h"

#if !defined(__i386__)
#error "this test is the i386 encoding executed: build it with -m32"
#endif

#define STDCALL __attribute__((stdcall))

namespace {

struct Call
{
    std::uint32_t first;
    std::uint32_t message;
    std::uint32_t wParam;
    std::uint32_t lParam;
};

Call g_seen;
unsigned g_calls;

}  // namespace

// The "entry procedure": what it saw, and an answer made of its arguments.
extern "C" STDCALL std::uint32_t EntryProcedure(std::uint32_t first, std::uint32_t message,
                                                 std::uint32_t wParam, std::uint32_t lParam)
{
    g_seen = Call{first, message, wParam, lParam};
    ++g_calls;
    return message ^ wParam ^ lParam ^ 0x5A5A5A5Au;
}

// A landing place that goes on to EntryProcedure, followed by traps: a stub
// whose jump is off lands in them and stops with SIGTRAP.
// CallThrough (cdecl): pushes the four arguments, calls `procedure` and
// stores how far esp moved over the call (0 when the callee popped its
// 16 bytes, as stdcall must).
asm(R"(
    .text
    .globl Landing
Landing:
    jmp EntryProcedure
    .fill 256, 1, 0xCC

    .globl CallThrough
CallThrough:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %esi
    pushl 24(%ebp)
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)
    call *8(%ebp)
    movl %esp, %ecx
    subl %esi, %ecx
    movl 28(%ebp), %edx
    movl %ecx, (%edx)
    movl %esi, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

extern "C" void Landing();
extern "C" std::uint32_t CallThrough(const void* procedure, std::uint32_t window, std::uint32_t message,
                                     std::uint32_t wParam, std::uint32_t lParam, std::int32_t* drift);

namespace {

using Procedure = std::uint32_t(STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t);

int g_failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok)
        ++g_failures;
}

std::uint32_t Address(const void* p)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

// One page, written while writable and then made read-execute, as the
// Windows pool keeps its executable view: never both at once.
class StubPage
{
public:
    explicit StubPage(void* hint = nullptr)
    {
        void* page = mmap(hint, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        m_bytes = page == MAP_FAILED ? nullptr : static_cast<unsigned char*>(page);
        if (m_bytes != nullptr)
            std::memset(m_bytes, 0xCC, kSize);
    }
    ~StubPage()
    {
        if (m_bytes != nullptr)
            munmap(m_bytes, kSize);
    }
    StubPage(const StubPage&) = delete;
    StubPage& operator=(const StubPage&) = delete;

    bool Ok() const { return m_bytes != nullptr; }
    unsigned char* Slot(std::size_t index) const { return m_bytes + index * EntryTrampoline::kSlotSize; }
    bool Seal() { return mprotect(m_bytes, kSize, PROT_READ | PROT_EXEC) == 0; }
    bool Unseal() { return mprotect(m_bytes, kSize, PROT_READ | PROT_WRITE) == 0; }

    static constexpr std::size_t kSize = 4096;

private:
    unsigned char* m_bytes;
};

bool CallOnce(const void* stub, std::uint32_t object, std::uint32_t window, std::uint32_t message,
              std::uint32_t wParam, std::uint32_t lParam)
{
    std::int32_t drift = -1;
    const std::uint32_t answer = CallThrough(stub, window, message, wParam, lParam, &drift);
    return drift == 0 && g_seen.first == object && g_seen.message == message && g_seen.wParam == wParam &&
           g_seen.lParam == lParam && answer == (message ^ wParam ^ lParam ^ 0x5A5A5A5Au);
}

void CheckEncoding()
{
    unsigned char out[EntryTrampoline::kSlotSize];
    std::memset(out, 0xCC, sizeof out);
    const std::uint32_t at = 0x10000020u;
    const std::uint32_t object = 0x11223344u;
    const std::uint32_t target = 0x08049000u;
    const std::size_t size = EntryTrampoline::EncodeX86(out, at, object, target);
    const std::uint32_t rel = target - (at + 13);
    const unsigned char expected[13] = {
        0xC7, 0x44, 0x24, 0x04,  // mov dword ptr [esp+4], imm32
        0x44, 0x33, 0x22, 0x11,
        0xE9,                    // jmp rel32, from the end of the stub
        static_cast<unsigned char>(rel), static_cast<unsigned char>(rel >> 8),
        static_cast<unsigned char>(rel >> 16), static_cast<unsigned char>(rel >> 24),
    };
    Check(size == 13 && size == EntryTrampoline::kX86Size, "the stub is 13 bytes");
    Check(std::memcmp(out, expected, sizeof expected) == 0,
          "bytes: C7 44 24 04 <object> E9 <target - end of stub>");
    Check(out[13] == 0xCC, "nothing written past the stub");
}

// Correct stubs, run many times from two places: one above the code (the
// jump goes backwards) and, where the system allows, one below it.
void CheckCalls()
{
    StubPage high;
    StubPage low(reinterpret_cast<void*>(0x00400000));
    Check(high.Ok() && low.Ok(), "two pages for stubs");
    if (!high.Ok() || !low.Ok())
        return;
    const std::uint32_t codeAt = Address(reinterpret_cast<const void*>(&EntryProcedure));
    std::printf("     code at %08X, stub pages at %08X and %08X\n", codeAt, Address(high.Slot(0)),
                Address(low.Slot(0)));
    Check(Address(low.Slot(0)) < codeAt && Address(high.Slot(0)) > codeAt,
          "one page below the code and one above it");

    // Each slot its own object, as the pool hands them out.
    const std::uint32_t objects[2] = {0xA5A5A5A0u, 0x0BADCAFEu};
    StubPage* pages[2] = {&high, &low};
    for (int p = 0; p < 2; ++p) {
        unsigned char* slot = pages[p]->Slot(5);
        EntryTrampoline::EncodeX86(slot, Address(slot), objects[p],
                                   Address(reinterpret_cast<const void*>(&EntryProcedure)));
        Check(pages[p]->Seal(), "the page sealed read-execute");
    }

    for (int p = 0; p < 2; ++p) {
        const void* stub = pages[p]->Slot(5);
        bool all = true;
        const unsigned before = g_calls;
        for (std::uint32_t i = 0; i < 100000 && all; ++i)
            all = CallOnce(stub, objects[p], 0x7E57u + i, 0x0110u + (i & 0xFF), i * 3u, ~i);
        Check(all && g_calls - before == 100000,
              p == 0 ? "100000 calls through the stub above the code: object in place of the window, the other "
                       "three arguments and the answer intact, esp balanced after every call"
                     : "100000 calls through the stub below the code: likewise");
    }

    // Called from C++ as a stdcall function pointer, with locals around
    // that an unbalanced stack would trample.
    volatile std::uint32_t canaryBefore = 0xC0FFEE01u;
    std::uint32_t sum = 0;
    auto procedure = reinterpret_cast<Procedure>(high.Slot(5));
    for (std::uint32_t i = 0; i < 100000; ++i)
        sum += procedure(0xDEAD0000u + i, i, i + 1, i + 2) == (i ^ (i + 1) ^ (i + 2) ^ 0x5A5A5A5Au);
    volatile std::uint32_t canaryAfter = 0xC0FFEE02u;
    Check(sum == 100000 && canaryBefore == 0xC0FFEE01u && canaryAfter == 0xC0FFEE02u &&
              g_seen.first == objects[0],
          "100000 calls through a stdcall function pointer: answers right, locals intact");
}

enum class Variant { kCorrect, kWrongOffset, kWrongJump };

// In a child process: writes one stub of the variant, calls through it once
// and exits 0 only if the call arrived exactly as a correct stub delivers it.
[[noreturn]] void RunVariant(Variant variant)
{
    // A crash is an expected outcome here: leave no core file behind.
    const rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    StubPage page;
    if (!page.Ok())
        _exit(10);
    unsigned char* slot = page.Slot(2);
    const std::uint32_t object = 0x0B1EC700u;
    const std::uint32_t landing = Address(reinterpret_cast<const void*>(&Landing));
    switch (variant) {
    case Variant::kCorrect:
        EntryTrampoline::EncodeX86(slot, Address(slot), object, landing);
        break;
    case Variant::kWrongOffset:
        // mov [esp+8]: the object lands on the message, the window stays.
        EntryTrampoline::EncodeX86(slot, Address(slot), object, landing);
        slot[3] = 0x08;
        break;
    case Variant::kWrongJump:
        // Encoded for another address than it runs from: the jump lands
        // 64 bytes past the landing place, in its traps.
        EntryTrampoline::EncodeX86(slot, Address(slot) - 64, object, landing);
        break;
    }
    if (!page.Seal())
        _exit(11);
    const bool ok = CallOnce(slot, object, 0x5EED0001u, 0x0111u, 0x22u, 0x33u);
    _exit(ok ? 0 : 3);
}

// "exit 0", "exit 3" or "signal 5".
bool RunInChild(Variant variant, char* outcome, std::size_t size)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        std::snprintf(outcome, size, "fork failed");
        return false;
    }
    if (child == 0)
        RunVariant(variant);
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        std::snprintf(outcome, size, "waitpid failed");
        return false;
    }
    if (WIFEXITED(status))
        std::snprintf(outcome, size, "exit %d", WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
        std::snprintf(outcome, size, "signal %d", WTERMSIG(status));
    else
        std::snprintf(outcome, size, "status %d", status);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A faulty stub must be noticed: the harness that passes the correct stub
// has to fail the wrong ones, by a wrong argument or a crash.
void CheckFaultsAreDetected()
{
    char outcome[64];
    bool passed = RunInChild(Variant::kCorrect, outcome, sizeof outcome);
    std::printf("     correct stub in a child: %s\n", outcome);
    Check(passed, "a correct stub passes in a child process");

    passed = RunInChild(Variant::kWrongOffset, outcome, sizeof outcome);
    std::printf("     stub writing [esp+8]: %s\n", outcome);
    Check(!passed, "a stub writing the object at [esp+8] is caught");

    passed = RunInChild(Variant::kWrongJump, outcome, sizeof outcome);
    std::printf("     stub with a jump 64 bytes off: %s\n", outcome);
    Check(!passed, "a stub with a wrong jump displacement is caught");
}

// The pool rewrites a released slot for its next owner: the new stub is the
// one that runs.
void CheckRewrite()
{
    StubPage page;
    if (!page.Ok()) {
        Check(false, "a page for the rewrite");
        return;
    }
    unsigned char* slot = page.Slot(7);
    const std::uint32_t target = Address(reinterpret_cast<const void*>(&EntryProcedure));
    EntryTrampoline::EncodeX86(slot, Address(slot), 0x1111u, target);
    page.Seal();
    const bool first = CallOnce(slot, 0x1111u, 1, 2, 3, 4);
    page.Unseal();
    EntryTrampoline::EncodeX86(slot, Address(slot), 0x2222u, target);
    page.Seal();
    const bool second = CallOnce(slot, 0x2222u, 5, 6, 7, 8);
    Check(first && second, "a slot written again carries its new object");
}

// Runs checks that execute stubs in a child, so that a faulty encoder shows
// up as a failed check with its signal rather than as this program's crash.
void Isolated(void (*checks)(), const char* what)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        g_failures = 0;
        checks();
        std::fflush(stdout);
        _exit(g_failures > 100 ? 100 : g_failures);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        Check(false, what);
        return;
    }
    if (WIFSIGNALED(status)) {
        std::printf("FAIL %s: killed by signal %d\n", what, WTERMSIG(status));
        ++g_failures;
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        g_failures += WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
}

}  // namespace

int main()
{
    std::printf("x86 entry trampoline under qemu-i386\n");
    CheckEncoding();
    Isolated(&CheckCalls, "calls through the stubs");
    Isolated(&CheckRewrite, "a slot written again");
    CheckFaultsAreDetected();
    std::printf("%s: %d failure(s)\n", g_failures == 0 ? "OK" : "FAILED", g_failures);
    return g_failures == 0 ? 0 : 1;
}
