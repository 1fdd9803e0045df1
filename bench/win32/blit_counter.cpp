#include "bench/win32/blit_counter.h"

#include <windows.h>

namespace {

using SetDIBitsToDeviceFn = int(WINAPI*)(HDC, int, int, DWORD, DWORD, int, int, UINT, UINT, const VOID*,
                                         const BITMAPINFO*, UINT);

BlitCounts counts;
SetDIBitsToDeviceFn realSetDIBitsToDevice = nullptr;

int WINAPI CountingSetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int srcX, int srcY, UINT startScan,
                                     UINT lines, const VOID* bits, const BITMAPINFO* info, UINT usage) {
    ++counts.calls;
    counts.pixels += uint64_t{w} * h;
    if (static_cast<int32_t>(w) > counts.maxWidth) counts.maxWidth = static_cast<int32_t>(w);
    if (static_cast<int32_t>(h) > counts.maxHeight) counts.maxHeight = static_cast<int32_t>(h);
    return realSetDIBitsToDevice(dc, x, y, w, h, srcX, srcY, startScan, lines, bits, info, usage);
}

// The import address table entry of gdi32's SetDIBitsToDevice in this program's image.
void** FindImportSlot() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return nullptr;
    for (auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name != 0;
         ++desc) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + desc->Name), "gdi32.dll") != 0) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), "SetDIBitsToDevice") == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

}  // namespace

bool InstallBlitCounter() {
    if (realSetDIBitsToDevice != nullptr) return true;
    void** slot = FindImportSlot();
    if (slot == nullptr) return false;
    DWORD oldProtect = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtect)) return false;
    realSetDIBitsToDevice = reinterpret_cast<SetDIBitsToDeviceFn>(*slot);
    *slot = reinterpret_cast<void*>(&CountingSetDIBitsToDevice);
    VirtualProtect(slot, sizeof *slot, oldProtect, &oldProtect);
    return true;
}

BlitCounts& TheBlitCounts() { return counts; }
