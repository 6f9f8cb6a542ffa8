#include "persist/json_text.h"

#include <climits>

const char kUtf8Bom[4] = "\xEF\xBB\xBF";

namespace {

const wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// wchar_t is unsigned 16-bit on Windows but signed 32-bit elsewhere; compare unit values unsigned.
unsigned UnitAt(const std::wstring& text, size_t i) { return static_cast<unsigned>(text[i]); }

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::wstring& out, unsigned cp) {
    if (cp < 0x10000) {
        out += static_cast<wchar_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    }
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 0;  // a stray character in a \u escape counts as the digit 0
}

void AppendHexEscape(std::wstring& out, unsigned unit) {
    static const wchar_t digits[] = L"0123456789abcdef";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(unit >> shift) & 0xF];
}

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

}  // namespace

std::string Utf8FromWide(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned unit = UnitAt(text, i);
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(UnitAt(text, i + 1))) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (UnitAt(text, i + 1) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || unit > 0x10FFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);  // above 0xFFFF only where wchar_t is 32 bits
        }
    }
    return out;
}

std::wstring WideFromUtf8(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    size_t i = 0;
    while (i < n) {
        unsigned b = byteAt(i);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        // Sequence length and the allowed range of the second byte rule out overlong forms,
        // surrogates and values above U+10FFFF.
        int length = 0;
        unsigned low = 0x80, high = 0xBF, cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, cp = b & 0x0F;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, cp = b & 0x07;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        }
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 1; k < length; ++k, ++j) {
            unsigned c = j < n ? byteAt(j) : 0;
            if (j >= n || c < low || c > high) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
            low = 0x80, high = 0xBF;
        }
        if (ok) {
            AppendUtf16(out, cp);
        } else {
            out += kReplacement;  // one replacement for the broken prefix; the offending byte is read again
        }
        i = j;
    }
    return out;
}

std::wstring DecodeStoredText(const std::string& bytes) {
    const size_t n = bytes.size();
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (n >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool little = byteAt(0) == 0xFF;
        std::wstring out;
        out.reserve((n - 2) / 2);
        for (size_t i = 2; i + 1 < n; i += 2) {
            unsigned unit = little ? byteAt(i) | (byteAt(i + 1) << 8) : (byteAt(i) << 8) | byteAt(i + 1);
            out += static_cast<wchar_t>(unit);
        }
        return out;
    }
    if (n >= 3 && bytes.compare(0, 3, kUtf8Bom) == 0) return WideFromUtf8(bytes.substr(3));
    return WideFromUtf8(bytes);
}

std::wstring JsonEscape(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 2);
    out += L'"';
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const unsigned unit = UnitAt(text, i);
        switch (c) {
            case L'\t': out += L"\\t"; continue;
            case L'\n': out += L"\\n"; continue;
            case L'\r': out += L"\\r"; continue;
            case L'"': out += L"\\\""; continue;
            case L'\\': out += L"\\\\"; continue;
            default: break;
        }
        if (unit < 0x20) {
            AppendHexEscape(out, unit);
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(UnitAt(text, i + 1))) {
            out += c;
            out += text[++i];
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            // The file is UTF-8, which cannot hold a lone half; the escape keeps it intact.
            AppendHexEscape(out, unit);
        } else {
            out += c;
        }
    }
    out += L'"';
    return out;
}

std::wstring JsonUnescape(const std::wstring& text, size_t quotePosition) {
    std::wstring out;
    const size_t n = text.size();
    if (quotePosition >= n) return out;
    size_t i = quotePosition + 1;
    while (i < n) {
        const wchar_t c = text[i];
        if (c == L'"') break;
        if (c != L'\\') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 >= n) {
            out += L'\\';
            break;
        }
        const wchar_t e = text[i + 1];
        if (e == L'u') {
            if (i + 6 > n) {
                out.append(text, i, n - i);  // cut short by the end: keep it as written
                break;
            }
            unsigned unit = 0;
            for (size_t k = i + 2; k < i + 6; ++k) unit = unit * 16 + HexDigitValue(text[k]);
            out += static_cast<wchar_t>(unit);
            i += 6;
            continue;
        }
        switch (e) {
            case L'"': out += L'"'; break;
            case L'/': out += L'/'; break;
            case L'\\': out += L'\\'; break;
            case L'b': out += L'\b'; break;
            case L'f': out += L'\f'; break;
            case L'n': out += L'\n'; break;
            case L'r': out += L'\r'; break;
            case L't': out += L'\t'; break;
            default:
                out += c;
                out += e;
                break;
        }
        i += 2;
    }
    return out;
}

std::wstring EscapeQuotesAndBackslashes(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') out += L'\\';
        out += c;
    }
    return out;
}

bool ReadQuotedValue(const std::wstring& text, size_t start, size_t end, std::wstring& value, size_t& next) {
    if (end > text.size()) end = text.size();
    std::wstring out;
    size_t i = start;
    while (i < end) {
        const wchar_t c = text[i];
        if (c == L'"') {
            value.swap(out);
            next = i + 1;
            return true;
        }
        if (c == L'\\' && i + 1 < end && (text[i + 1] == L'"' || text[i + 1] == L'/' || text[i + 1] == L'\\')) {
            out += text[i + 1];
            i += 2;
        } else {
            out += c;
            ++i;
        }
    }
    return false;
}

size_t FindOutsideStrings(const std::wstring& text, size_t from, wchar_t target) {
    bool inString = false;
    for (size_t i = from; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (inString) {
            if (c == L'\\') {
                ++i;
            } else if (c == L'"') {
                inString = false;
            }
        } else if (c == L'"') {
            inString = true;
        } else if (c == target) {
            return i;
        }
    }
    return std::wstring::npos;
}

int ParseLeadingInt(const std::wstring& text, size_t pos) {
    const size_t n = text.size();
    size_t i = pos;
    while (i < n && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit) magnitude = limit;  // saturate, and keep consuming digits
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool FindIntAfterKey(const std::wstring& text, const std::wstring& key, int& value) {
    const size_t at = text.find(key);
    if (at == std::wstring::npos) return false;
    value = ParseLeadingInt(text, at + key.size());
    return true;
}

std::wstring FindJsonStringValue(const std::wstring& text, const std::wstring& key) {
    const size_t at = text.find(key);
    if (at == std::wstring::npos) return {};
    const size_t colon = text.find(L':', at + key.size());
    if (colon == std::wstring::npos) return {};
    const size_t quote = text.find(L'"', colon + 1);
    if (quote == std::wstring::npos) return {};
    return JsonUnescape(text, quote);
}
