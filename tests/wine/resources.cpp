/*
 * Resource counts for the soak tests; see resources.h.
 */
#include "resources.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>

#include <vector>

namespace {

// One entry of the GDI handle table that the PEB points to (the layout Windows and Wine share:
// a 24-byte record whose Type is zero for a free slot).
struct GdiHandleEntry {
    unsigned long long Object;
    unsigned long Owner;
    unsigned short Unique;
    unsigned char Type;
    unsigned char Flags;
    unsigned long long UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI table entry layout");

int CountGdiObjects() {
    PROCESS_BASIC_INFORMATION basic = {};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                              nullptr);
    // PEB::GdiSharedHandleTable: offset 0x94 of the 32-bit PEB, 0xF8 of the 64-bit one.
    const size_t offset = sizeof(void*) == 4 ? 0x94 : 0xF8;
    const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + offset);
    if (table == nullptr)
        return -1;
    int count = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].Type != 0)
            ++count;
    return count;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*reinterpret_cast<int*>(data);
    return TRUE;
}

size_t BytesInHeaps() {
    std::vector<HANDLE> heaps(64);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    heaps.resize(std::min<size_t>(count, heaps.size()));
    size_t bytes = 0;
    for (HANDLE heap : heaps) {
        HeapLock(heap);
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        HeapUnlock(heap);
    }
    return bytes;
}

unsigned ProbeLowestFreeHandle() {
    HANDLE probe = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &probe, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    CloseHandle(probe);
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(probe));
}

} // namespace

Resources CountResources() {
    Resources r;
    r.GdiObjects = CountGdiObjects();
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&r.Windows));
    r.LowestFreeHandle = ProbeLowestFreeHandle();
    r.HeapBytes = BytesInHeaps();
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    r.WorkingSet = memory.WorkingSetSize;
    return r;
}

std::string Resources::Text() const {
    return "GDI objects " + std::to_string(GdiObjects) + ", windows " + std::to_string(Windows) +
           ", lowest free handle " + std::to_string(LowestFreeHandle) + ", heap bytes " +
           std::to_string(HeapBytes) + ", working set " + std::to_string(WorkingSet / 1024) + " KB";
}
