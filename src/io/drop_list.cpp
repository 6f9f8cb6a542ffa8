#include "io/drop_list.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

std::vector<std::wstring> ReadDropList(const void* block, size_t size) {
    std::vector<std::wstring> names;
    DROPFILES header{};
    if (!block || size < sizeof header) return names;
    std::memcpy(&header, block, sizeof header);
    const auto* bytes = static_cast<const uint8_t*>(block);
    size_t at = header.pFiles;
    if (at < sizeof header || at > size) return names;
    const size_t unit = header.fWide ? 2 : 1;
    for (;;) {
        size_t end = at;
        while (end + unit <= size && (bytes[end] != 0 || (unit == 2 && bytes[end + 1] != 0))) end += unit;
        if (end + unit > size || end == at) break;  // no NUL before the end, or the empty name ending the list
        if (unit == 2) {
            std::wstring name((end - at) / 2, L'\0');
            for (size_t i = 0; i < name.size(); ++i)
                name[i] = static_cast<wchar_t>(bytes[at + 2 * i] | (bytes[at + 2 * i + 1] << 8));
            names.push_back(std::move(name));
        } else {
            const char* text = reinterpret_cast<const char*>(bytes + at);
            const int length = static_cast<int>(end - at);
            const int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
            if (wide <= 0) break;
            std::wstring name(static_cast<size_t>(wide), L'\0');
            MultiByteToWideChar(CP_ACP, 0, text, length, name.data(), wide);
            names.push_back(std::move(name));
        }
        at = end + unit;
    }
    return names;
}
