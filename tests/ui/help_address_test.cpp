#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/encoding.h"
#include "shell/help_address.h"

namespace {

// Reads an address's path part back: "%XX" bytes as UTF-8, "/" as "\".
std::wstring DecodedPath(const std::wstring& address, size_t from) {
    std::string bytes;
    for (size_t i = from; i < address.size(); ++i) {
        if (address[i] == L'%' && i + 2 < address.size()) {
            bytes += static_cast<char>(std::stoi(std::string(address.begin() + i + 1, address.begin() + i + 3), nullptr, 16));
            i += 2;
        } else {
            EXPECT_LT(address[i], 0x80) << "not encoded";
            bytes += static_cast<char>(address[i] == L'/' ? L'\\' : address[i]);
        }
    }
    return Utf8ToWide(bytes);
}

TEST(HelpAddress, FileAddresses) {
    EXPECT_EQ(L"file:///C:/Program%20Files/Tessary/manual.html", FileAddress(L"C:\\Program Files\\Tessary\\manual.html"));
    // (Sections after "#" are the end-to-end test's, test_help.sh.)
    EXPECT_EQ(L"file://server/share/manual.html#hex", FileAddress(L"\\\\server\\share\\manual.html", L"hex"));
    // "#", "%" and non-ASCII letters of a folder name cannot stand as they are.
    EXPECT_EQ(L"file:///C:/C%23%25/J%C3%B6rg/%E6%96%87/m.html", FileAddress(L"C:\\C#%\\J\u00F6rg\\\u6587\\m.html"));
    EXPECT_EQ(L"file:///C:/a%EF%BF%BDb", FileAddress(std::wstring(L"C:\\a") + wchar_t(0xD800) + L"b"));  // a lone surrogate
}

// Any path comes back from its address unchanged, and the address holds nothing a command line or
// a browser would read otherwise (blanks, quotation marks, "#").
TEST(HelpAddress, EveryPathComesBack) {
    std::mt19937 random(31);
    const std::wstring pieces[] = {L"a", L"Z", L"0", L" ", L"#", L"%", L"\"", L"&", L"\u00E9", L"\u4E2D", L"\U0001F600", L"\\", L".", L"-"};
    for (int round = 0; round < 500; ++round) {
        std::wstring path = L"C:\\";
        const int length = static_cast<int>(random() % 20);
        for (int i = 0; i < length; ++i) path += pieces[random() % std::size(pieces)];
        const std::wstring address = FileAddress(path);
        ASSERT_EQ(0u, address.find(L"file:///"));
        EXPECT_EQ(std::wstring::npos, address.find_first_of(L" \"#&")) << address;
        EXPECT_EQ(path, DecodedPath(address, 8));
    }
}

TEST(HelpAddress, CommandLines) {
    const std::wstring a = L"file:///C:/T/manual.html#search";
    EXPECT_EQ(L"\"C:\\B\\browser.exe\" --single-argument " + a,
              CommandLineFor(L"\"C:\\B\\browser.exe\" --single-argument %1", a));
    EXPECT_EQ(L"\"C:\\B\\f.exe\" -osint -url \"" + a + L"\"", CommandLineFor(L"\"C:\\B\\f.exe\" -osint -url \"%1\"", a));
    EXPECT_EQ(L"b.exe " + a, CommandLineFor(L"b.exe %L", a));
    EXPECT_EQ(L"b.exe \"" + a + L"\"", CommandLineFor(L"b.exe", a));
    EXPECT_EQ(L"b.exe 100%", CommandLineFor(L"b.exe 100%", a).substr(0, 10));
}

}  // namespace
