// The pool of entry trampolines: exhaustion, the stubs' bytes, W^X and
// allocation from two threads.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Probes.h"
#include "framework/EntryTrampoline.h"
#include "framework/StubPool.h"
#include "framework/TestDialogs.h"

namespace {

std::string Bytes(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}

// Takes every free stub of the process's pool while it lives: the pool is
// then as full as it gets.
class FullPool
{
public:
    FullPool()
    {
        while (EntryTrampoline* stub = g_stubPool.Allocate(this, reinterpret_cast<const void*>(&RecorderProcedure)))
            m_taken.push_back(stub);
    }
    ~FullPool()
    {
        for (EntryTrampoline* stub : m_taken)
            g_stubPool.Release(stub);
    }
    FullPool(const FullPool&) = delete;
    FullPool& operator=(const FullPool&) = delete;

    size_t Taken() const { return m_taken.size(); }

private:
    std::vector<EntryTrampoline*> m_taken;
};

TEST(StubPool, AnExhaustedPoolRunsNoDialogAndLeavesTheControlAsItWas)
{
    ProbeDialog<IDD_TEST_PLAIN> ready;
    ready.body = [](HWND) {};
    ASSERT_EQ(1, ready.RunModal(nullptr));

    HWND holder = CreateHolderWindow();
    HWND control = CreateRecorderControl(holder, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    dialog.body = [](HWND) {};
    {
        FullPool full;
        CbtWatch watch;
        SetLastError(0);
        EXPECT_EQ(-1, dialog.RunModal(nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_OUTOFMEMORY), GetLastError());
        EXPECT_TRUE(watch.created.empty()) << watch.created.size() << " windows were created";
        EXPECT_EQ(nullptr, dialog.Trampoline());
        EXPECT_TRUE(dialog.offered.empty());

        ProbeControl probe;
        EXPECT_FALSE(probe.AttachToControl(control));
        EXPECT_EQ(original, GetWindowLongPtrA(control, GWLP_WNDPROC));
        EXPECT_EQ(nullptr, probe.m_hWnd);
        EXPECT_EQ(RecorderAnswer(WM_TEST_OTHER), SendMessageA(control, WM_TEST_OTHER, 0, 0));

        // An object keeps its stub from its first run: it still runs.
        EXPECT_EQ(1, ready.RunModal(nullptr));
    }
    // With stubs free again, the refused object runs as usual.
    EXPECT_EQ(1, dialog.RunModal(nullptr));
    DestroyWindow(holder);
}

// The stub a dialog object runs through is the encoding of that object
// and its entry procedure, padded with traps.
TEST(StubPool, AStubIsTheEncodingOfItsObjectAndEntryProcedure)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    dialog.body = [](HWND) {};
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    HWND holder = CreateHolderWindow();
    ProbeControl control;
    ASSERT_TRUE(control.AttachToControl(CreateRecorderControl(holder, nullptr)));

    struct Case { const char* name; EntryTrampoline* stub; const void* object; const void* target; };
    const Case cases[] = {
        {"dialog", dialog.Trampoline(), static_cast<CWindowImplRoot<CWindow>*>(&dialog),
         reinterpret_cast<const void*>(&CDialogImplBaseT<CWindow>::SharedDialogProcedure)},
        {"control", control.Trampoline(), static_cast<CWindowImplRoot<CWindow>*>(&control),
         reinterpret_cast<const void*>(&CWindowImplBaseT<CWindow, CWinTraits<0x56000000>>::SubclassProcedure)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, c.stub);
        unsigned char expected[EntryTrampoline::kSlotSize];
        std::memset(expected, 0xCC, sizeof expected);
        EntryTrampoline::Encode(expected, reinterpret_cast<std::uintptr_t>(c.stub),
                                reinterpret_cast<std::uintptr_t>(c.object), reinterpret_cast<std::uintptr_t>(c.target));
        EXPECT_EQ(Bytes(expected, sizeof expected), Bytes(c.stub->code, sizeof expected));
#if defined(__x86_64__)
        // Read back on its own: mov rcx, object; mov rax, target; jmp rax.
        std::uint64_t object = 0;
        std::uint64_t target = 0;
        std::memcpy(&object, c.stub->code + 2, 8);
        std::memcpy(&target, c.stub->code + 12, 8);
        EXPECT_EQ("48 B9 ", Bytes(c.stub->code, 2));
        EXPECT_EQ("48 B8 ", Bytes(c.stub->code + 10, 2));
        EXPECT_EQ("FF E0 ", Bytes(c.stub->code + 20, 2));
        EXPECT_EQ(reinterpret_cast<std::uint64_t>(c.object), object);
        EXPECT_EQ(reinterpret_cast<std::uint64_t>(c.target), target);
#endif
    }
    DestroyWindow(holder);
}

TEST(StubPool, AReleasedStubBecomesTrapsAndItsSlotIsFree)
{
    const size_t before = g_stubPool.InUse();
    int marker = 0;
    EntryTrampoline* stub = g_stubPool.Allocate(&marker, reinterpret_cast<const void*>(&RecorderProcedure));
    ASSERT_NE(nullptr, stub);
    EXPECT_EQ(before + 1, g_stubPool.InUse());
    EXPECT_NE(0xCC, stub->code[0]);
    g_stubPool.Release(stub);
    EXPECT_EQ(before, g_stubPool.InUse());
    unsigned char traps[EntryTrampoline::kSlotSize];
    std::memset(traps, 0xCC, sizeof traps);
    EXPECT_EQ(Bytes(traps, sizeof traps), Bytes(stub->code, sizeof traps));
    // Releasing twice, or something that is no stub, changes nothing.
    g_stubPool.Release(stub);
    g_stubPool.Release(reinterpret_cast<EntryTrampoline*>(&marker));
    EXPECT_EQ(before, g_stubPool.InUse());
}

bool Writable(DWORD protect)
{
    return (protect & (PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

bool Executable(DWORD protect)
{
    return (protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

// The other view of the section behind `executable`: the one mapped region
// of the same size, elsewhere, with the same bytes.
std::vector<MEMORY_BASIC_INFORMATION> OtherViewsWithTheSameBytes(const MEMORY_BASIC_INFORMATION& executable)
{
    std::vector<MEMORY_BASIC_INFORMATION> views;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT || region.Type != MEM_MAPPED || region.RegionSize != executable.RegionSize ||
            region.BaseAddress == executable.BaseAddress || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(region.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)))
            continue;
        if (std::memcmp(region.BaseAddress, executable.BaseAddress, region.RegionSize) == 0)
            views.push_back(region);
    }
    return views;
}

TEST(StubPool, NoStubPageIsEverWritableAndExecutableAtOnce)
{
    ProbeDialog<IDD_TEST_PLAIN> dialog;
    dialog.body = [](HWND) {};
    ASSERT_EQ(1, dialog.RunModal(nullptr));
    ASSERT_NE(nullptr, dialog.Trampoline());

    MEMORY_BASIC_INFORMATION executable;
    ASSERT_EQ(sizeof executable, VirtualQuery(dialog.Trampoline(), &executable, sizeof executable));
    EXPECT_EQ(static_cast<DWORD>(MEM_COMMIT), executable.State);
    EXPECT_EQ(static_cast<DWORD>(PAGE_EXECUTE_READ), executable.Protect);
    // Every page of the view, not only the one this stub is on.
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = static_cast<const char*>(executable.AllocationBase);
         VirtualQuery(at, &region, sizeof region) == sizeof region && region.AllocationBase == executable.AllocationBase;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        EXPECT_EQ(static_cast<DWORD>(PAGE_EXECUTE_READ), region.Protect) << region.BaseAddress;
        EXPECT_FALSE(Writable(region.Protect)) << region.BaseAddress;
    }

    // The view the pool writes through is not executable, and it is the
    // same memory: a new stub shows up in both.
    const auto views = OtherViewsWithTheSameBytes(executable);
    ASSERT_EQ(1u, views.size()) << "cannot tell the pool's writable view";
    const MEMORY_BASIC_INFORMATION& writable = views[0];
    EXPECT_EQ(static_cast<DWORD>(PAGE_READWRITE), writable.Protect);
    EXPECT_FALSE(Executable(writable.Protect));

    int marker = 0;
    EntryTrampoline* stub = g_stubPool.Allocate(&marker, reinterpret_cast<const void*>(&RecorderProcedure));
    ASSERT_NE(nullptr, stub);
    const size_t offset = reinterpret_cast<const char*>(stub) - static_cast<const char*>(executable.BaseAddress);
    ASSERT_LT(offset, executable.RegionSize);
    const auto* twin = static_cast<const unsigned char*>(writable.BaseAddress) + offset;
    EXPECT_EQ(Bytes(stub->code, EntryTrampoline::kSlotSize), Bytes(twin, EntryTrampoline::kSlotSize));
    g_stubPool.Release(stub);
    EXPECT_EQ(0xCC, twin[0]);

    // And after all that, still not writable where it executes.
    ASSERT_EQ(sizeof region, VirtualQuery(dialog.Trampoline(), &region, sizeof region));
    EXPECT_EQ(static_cast<DWORD>(PAGE_EXECUTE_READ), region.Protect);
}

// Both GUI threads take stubs. Each slot carries a flag that an owner sets
// when it gets the slot and clears before giving it back: a slot handed to
// two owners at once shows up as a flag already set; a stub overwritten by
// the other thread shows up as a wrong object in its bytes.
TEST(StubPool, AllocationAndReleaseFromTwoThreadsKeepThePoolConsistent)
{
    constexpr int kRounds = 20000;
    constexpr int kHeld = 12;
    const size_t before = g_stubPool.InUse();
    std::array<std::atomic<int>, StubPool::kSlots> owner{};
    std::atomic<int> sharedSlots{0};
    std::atomic<int> wrongBytes{0};
    std::atomic<int> refusals{0};

    auto work = [&](int id) {
        std::vector<std::uintptr_t> objects(kHeld);
        std::vector<EntryTrampoline*> held(kHeld);
        for (int round = 0; round < kRounds; ++round) {
            for (int i = 0; i < kHeld; ++i) {
                objects[i] = (static_cast<std::uintptr_t>(id) << 40) | (static_cast<std::uintptr_t>(round) << 8) |
                             static_cast<std::uintptr_t>(i);
                held[i] = g_stubPool.Allocate(reinterpret_cast<const void*>(objects[i]),
                                              reinterpret_cast<const void*>(&RecorderProcedure));
                if (held[i] == nullptr) {
                    ++refusals;
                    continue;
                }
                const size_t slot = (reinterpret_cast<std::uintptr_t>(held[i]) & 0xFFF) / EntryTrampoline::kSlotSize;
                int expected = 0;
                if (!owner[slot].compare_exchange_strong(expected, id))
                    ++sharedSlots;
            }
            for (int i = 0; i < kHeld; ++i) {
                if (held[i] == nullptr)
                    continue;
                unsigned char code[EntryTrampoline::kSlotSize];
                std::memset(code, 0xCC, sizeof code);
                EntryTrampoline::Encode(code, reinterpret_cast<std::uintptr_t>(held[i]), objects[i],
                                        reinterpret_cast<std::uintptr_t>(&RecorderProcedure));
                if (std::memcmp(code, held[i]->code, sizeof code) != 0)
                    ++wrongBytes;
                const size_t slot = (reinterpret_cast<std::uintptr_t>(held[i]) & 0xFFF) / EntryTrampoline::kSlotSize;
                owner[slot].store(0);
                g_stubPool.Release(held[i]);
            }
        }
    };
    std::thread one(work, 1);
    std::thread two(work, 2);
    one.join();
    two.join();

    EXPECT_EQ(0, sharedSlots.load());
    EXPECT_EQ(0, wrongBytes.load());
    EXPECT_EQ(0, refusals.load()) << "the pool ran dry with " << 2 * kHeld << " stubs";
    EXPECT_EQ(before, g_stubPool.InUse());
}

DWORD WINAPI AskThePool(LPVOID)
{
    return static_cast<DWORD>(g_stubPool.InUse());
}

// The pool holds kSlots stubs; then it refuses, and the refusal leaves its
// lock, so the other GUI thread gets on.
TEST(StubPool, AFullPoolRefusesTheNextStubAndStaysUnlocked)
{
    const size_t before = g_stubPool.InUse();
    {
        FullPool full;
        EXPECT_EQ(StubPool::kSlots, g_stubPool.InUse());
        EXPECT_EQ(StubPool::kSlots - before, full.Taken());
        int marker = 0;
        EXPECT_EQ(nullptr, g_stubPool.Allocate(&marker, reinterpret_cast<const void*>(&RecorderProcedure)));
        HANDLE other = CreateThread(nullptr, 0, &AskThePool, nullptr, 0, nullptr);
        EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(other, 5000)) << "the pool stayed locked";
        CloseHandle(other);
    }
    EXPECT_EQ(before, g_stubPool.InUse());
}

}  // namespace
