#include "shell/help_address.h"

#include <cstdint>

#include "base/encoding.h"

namespace {

bool KeptAsIs(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.' || c == L'_' || c == L'~' || c == L'/' || c == L':';
}

// Every byte of the part's UTF-8 form that cannot stand as it is becomes "%XX" (a lone surrogate
// is U+FFFD by then); "\\" becomes "/".
void AppendPart(std::wstring& out, const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    for (const char byte : WideToUtf8(text)) {
        const auto b = static_cast<uint8_t>(byte);
        const wchar_t c = b == '\\' ? L'/' : static_cast<wchar_t>(b);
        if (b < 0x80 && KeptAsIs(c)) {
            out += c;
            continue;
        }
        out += L'%';
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
}

}  // namespace

std::wstring FileAddress(const std::wstring& path, const std::wstring& fragment) {
    std::wstring address = L"file:";
    const bool network = path.size() > 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
    if (network) {
        address += L"//";
        AppendPart(address, path.substr(2));
    } else {
        address += L"///";
        AppendPart(address, path);
    }
    if (!fragment.empty()) {
        address += L'#';
        AppendPart(address, fragment);
    }
    return address;
}

std::wstring CommandLineFor(const std::wstring& openCommand, const std::wstring& address) {
    std::wstring line;
    bool placed = false;
    for (size_t i = 0; i < openCommand.size(); ++i) {
        const wchar_t next = i + 1 < openCommand.size() ? openCommand[i + 1] : L'\0';
        if (openCommand[i] == L'%' && (next == L'1' || next == L'L' || next == L'l')) {
            line += address;
            placed = true;
            ++i;
        } else {
            line += openCommand[i];
        }
    }
    if (!placed) line += L" \"" + address + L"\"";
    return line;
}
