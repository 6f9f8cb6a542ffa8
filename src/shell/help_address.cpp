#include "shell/help_address.h"

#include <cstdint>

namespace {

bool KeptAsIs(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.' || c == L'_' || c == L'~' || c == L'/' || c == L':';
}

void AppendByte(std::wstring& out, uint32_t byte) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    out += L'%';
    out += kHex[(byte >> 4) & 0xF];
    out += kHex[byte & 0xF];
}

// One code point as "%XX" UTF-8 bytes; a lone surrogate as U+FFFD.
void AppendEncoded(std::wstring& out, uint32_t c) {
    if (c < 0x80) {
        AppendByte(out, c);
    } else if (c < 0x800) {
        AppendByte(out, 0xC0 | (c >> 6));
        AppendByte(out, 0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        AppendByte(out, 0xE0 | (c >> 12));
        AppendByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendByte(out, 0x80 | (c & 0x3F));
    } else {
        AppendByte(out, 0xF0 | (c >> 18));
        AppendByte(out, 0x80 | ((c >> 12) & 0x3F));
        AppendByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendByte(out, 0x80 | (c & 0x3F));
    }
}

void AppendPart(std::wstring& out, const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i] == L'\\' ? L'/' : text[i];
        if (KeptAsIs(c)) {
            out += c;
            continue;
        }
        uint32_t code = static_cast<uint16_t>(c);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendEncoded(out, code);
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
