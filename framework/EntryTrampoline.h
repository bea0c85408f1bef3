#pragma once
// The executable stub that binds a window to its object: it overwrites the
// procedure call's first argument (the window handle) with the object's
// address and jumps to the object's entry procedure, so a message reaches
// its object without any lookup.
//
// This header stays free of Windows headers on purpose: a Linux i386 test
// (tests/stub_i386) executes the x86 encoding on its own, under qemu-i386.
#include <cstddef>
#include <cstdint>
#include <cstring>

class EntryTrampoline
{
public:
    // One stub per slot; both encodings fit.
    static constexpr std::size_t kSlotSize = 32;
    static constexpr std::size_t kX86Size = 13;
    static constexpr std::size_t kX64Size = 22;

    // x86 stdcall: mov dword ptr [esp+4], object; jmp target.
    // `at` is the address the stub executes from (the jump is relative).
    static std::size_t EncodeX86(unsigned char* out, std::uint32_t at,
                                 std::uint32_t object, std::uint32_t target)
    {
        const std::uint32_t rel = target - (at + kX86Size);
        out[0] = 0xC7; out[1] = 0x44; out[2] = 0x24; out[3] = 0x04;
        std::memcpy(out + 4, &object, 4);
        out[8] = 0xE9;
        std::memcpy(out + 9, &rel, 4);
        return kX86Size;
    }

    // x86-64: the first argument travels in rcx.
    // mov rcx, object; mov rax, target; jmp rax.
    static std::size_t EncodeX64(unsigned char* out, std::uint64_t object,
                                 std::uint64_t target)
    {
        out[0] = 0x48; out[1] = 0xB9;
        std::memcpy(out + 2, &object, 8);
        out[10] = 0x48; out[11] = 0xB8;
        std::memcpy(out + 12, &target, 8);
        out[20] = 0xFF; out[21] = 0xE0;
        return kX64Size;
    }

    // The encoding of the architecture this file is compiled for.
    static std::size_t Encode(unsigned char* out, std::uintptr_t at,
                              std::uintptr_t object, std::uintptr_t target)
    {
#if defined(__x86_64__) || defined(_M_X64)
        (void)at;
        return EncodeX64(out, object, target);
#elif defined(__i386__) || defined(_M_IX86)
        return EncodeX86(out, static_cast<std::uint32_t>(at),
                         static_cast<std::uint32_t>(object),
                         static_cast<std::uint32_t>(target));
#else
#error "EntryTrampoline: no encoding for this processor"
#endif
    }

    unsigned char code[kSlotSize];
};

static_assert(sizeof(EntryTrampoline) == EntryTrampoline::kSlotSize, "one stub per slot");
