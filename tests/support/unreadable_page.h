#pragma once
// For tests of reads that fault: two pages of address space of which only the first is readable
// (filled with 'a'), as a mapped view behaves when the volume behind its second page is gone.
#include <windows.h>

#include <algorithm>
#include <cstdint>

struct HalfReadableView {
    size_t page = 0;
    uint8_t* view = nullptr;
    HalfReadableView() {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        page = system.dwPageSize;
        view = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
        if (view && VirtualAlloc(view, page, MEM_COMMIT, PAGE_READWRITE))
            std::fill(view, view + page, uint8_t{'a'});
        else
            view = nullptr;
    }
    ~HalfReadableView() {
        if (view) VirtualFree(view, 0, MEM_RELEASE);
    }
    HalfReadableView(const HalfReadableView&) = delete;
    HalfReadableView& operator=(const HalfReadableView&) = delete;
};
