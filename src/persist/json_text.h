#pragma once
// Text helpers shared by the program's own JSON-shaped files. The files are read by scanning for
// fixed key texts, not by a JSON parser, so every helper here tolerates any input: positions past
// the end, unterminated strings and stray characters give a defined result, never an error.
//
// Wide strings hold UTF-16 code units on every platform (wchar_t is 16 bits on Windows).

#include <cstddef>
#include <string>

// The UTF-8 byte-order mark that starts every file the program writes for itself.
extern const char kUtf8Bom[4];

// UTF-8 <-> UTF-16. Lenient in both directions: a malformed UTF-8 sequence becomes U+FFFD, and so
// does an unpaired surrogate (UTF-8 cannot carry it).
std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& bytes);

// Decodes a stored file: FF FE is UTF-16 LE, FE FF UTF-16 BE (a trailing odd byte is dropped),
// EF BB BF is skipped, anything else is read as UTF-8 with U+FFFD for malformed bytes.
std::wstring DecodeStoredText(const std::string& bytes);

// `text` as a quoted JSON string: \t \n \r \" \\ by name, other units below 0x20 and unpaired
// surrogates as \u%04x (lowercase), everything else unchanged.
std::wstring JsonEscape(const std::wstring& text);

// The value of the JSON string whose opening quotation mark stands at quotePosition. Stops at the
// first unescaped quotation mark or the end of the text. Unknown escapes keep both characters;
// a non-hex digit of \u counts as 0; a \u cut short by the end of the text is kept as written.
std::wstring JsonUnescape(const std::wstring& text, size_t quotePosition);

// The lighter escaping of settings and project files: a backslash before every quotation mark
// and every backslash, no quotes around the result.
std::wstring EscapeQuotesAndBackslashes(const std::wstring& text);

// Reads a string value of settings and project files starting just after its opening quotation
// mark, stopping before `end`: \" \/ \\ give the second character, any other backslash is kept.
// Returns false when no closing quotation mark lies before `end`; otherwise `value` holds the
// text and `next` the position after the closing quotation mark.
bool ReadQuotedValue(const std::wstring& text, size_t start, size_t end, std::wstring& value, size_t& next);

// First `target` at or after `from` that lies outside quoted strings (a quotation mark opens or
// closes a string; inside one a backslash makes the next unit ordinary). npos when there is none.
size_t FindOutsideStrings(const std::wstring& text, size_t from, wchar_t target);

// Standard decimal conversion at pos: leading white space, one optional sign, digits up to the
// first non-digit; no digits give 0, values beyond the int range saturate at its bounds.
int ParseLeadingInt(const std::wstring& text, size_t pos);

// Finds `key` at its first occurrence and reads the integer right after it. False, with `value`
// untouched, when the key does not occur.
bool FindIntAfterKey(const std::wstring& text, const std::wstring& key, int& value);

// Finds `key`, then the first ':' after it, then the first quotation mark after that, and returns
// the JsonUnescape of that string; empty when any of the three is missing.
std::wstring FindJsonStringValue(const std::wstring& text, const std::wstring& key);
