// The manual that F1 opens names everything the program shows: every command of the command
// palette, every menu item with the shortcut the menu shows, and (in its troubleshooting section)
// every message. The texts are taken from the program's own tables, so a command or message added
// to the program without a word in the manual fails here.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "search/quick_open_model.h"
#include "tools/build_command.h"
#include "shell/menu_model.h"
#include "base/encoding.h"
#include "base/strings.h"
#include "support/source_file.h"

namespace {

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

std::string Utf8Of(uint32_t c) {
    return c < 0x10000 ? Utf8(std::wstring(1, static_cast<wchar_t>(c)))
                       : Utf8({static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)),
                               static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF))});
}

// Runs of blanks, tabs and line breaks become one blank; none at either end.
std::string Squeeze(const std::string& text) {
    static const std::regex kBlanks("[ \t\r\n]+");
    const std::string squeezed = std::regex_replace(text, kBlanks, " ");
    const size_t from = squeezed.find_first_not_of(' '), to = squeezed.find_last_not_of(' ');
    return from == std::string::npos ? std::string() : squeezed.substr(from, to - from + 1);
}

// The text a reader sees: no style sheet, comments or tags, entities decoded, blanks squeezed.
std::string VisibleText(const std::string& html) {
    std::string text;
    size_t i = 0;
    while (i < html.size()) {
        if (html.compare(i, 4, "<!--") == 0) {
            const size_t end = html.find("-->", i);
            i = end == std::string::npos ? html.size() : end + 3;
        } else if (html.compare(i, 6, "<style") == 0) {
            const size_t end = html.find("</style>", i);
            i = end == std::string::npos ? html.size() : end + 8;
        } else if (html[i] == '<') {
            const size_t end = html.find('>', i);
            i = end == std::string::npos ? html.size() : end + 1;
        } else if (html[i] == '&') {
            const size_t end = html.find(';', i);
            const std::string name = end == std::string::npos ? "" : html.substr(i + 1, end - i - 1);
            static const std::pair<const char*, uint32_t> kNamed[] = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '},
                {"ndash", 0x2013}, {"mdash", 0x2014}};
            uint32_t code = 0;
            for (const auto& [entity, value] : kNamed) code = name == entity ? value : code;
            if (name.size() > 2 && name[0] == '#' && (name[1] == 'x' || name[1] == 'X'))
                code = static_cast<uint32_t>(std::stoul(name.substr(2), nullptr, 16));
            else if (name.size() > 1 && name[0] == '#')
                code = static_cast<uint32_t>(std::stoul(name.substr(1)));
            text += code ? Utf8Of(code) : "&";
            i = code ? end + 1 : i + 1;
        } else {
            text += html[i++];
        }
    }
    return Squeeze(text);
}

// The visible text of the section whose heading has this id, up to the next section heading.
std::string SectionText(const std::string& html, const std::string& id) {
    const size_t start = html.find("<h2 id=\"" + id + "\"");
    if (start == std::string::npos) return {};
    const size_t end = html.find("<h2", start + 1);
    return VisibleText(html.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

// A menu label as drawn: "&&" is an ampersand, any other "&" marks the mnemonic and is not shown.
std::wstring WithoutMnemonics(const std::wstring& label) {
    std::wstring out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == L'&' && i + 1 < label.size()) ++i;
        out += label[i];
    }
    return out;
}

// The parts of a message around the pieces filled in ("%s", "%d", "%ls", "%lld", "%1"), squeezed.
std::vector<std::string> FixedParts(const std::wstring& message) {
    static const std::wregex kPiece(L"%(lld|ls|s|d|1)");
    std::vector<std::string> parts;
    for (std::wsregex_token_iterator it(message.begin(), message.end(), kPiece, -1), end; it != end; ++it) {
        const std::string squeezed = Squeeze(Utf8(*it));
        if (!squeezed.empty()) parts.push_back(squeezed);
    }
    return parts;
}

class Manual : public ::testing::Test {
protected:
    void SetUp() override {
        html = ReadSourceFile("docs/manual.html");
        ASSERT_FALSE(html.empty()) << "docs/manual.html cannot be read";
        text = VisibleText(html);
    }
    bool Mentions(const std::wstring& words) const { return text.find(Utf8(words)) != std::string::npos; }
    std::string html, text;
};

TEST_F(Manual, NamesEveryPaletteCommandWithItsKeys) {
    const std::vector<QuickItem> entries = PaletteEntries();
    ASSERT_GE(entries.size(), 30u);
    for (const QuickItem& entry : entries) {
        std::wstring name = entry.label, keys;
        // "File: Save (Ctrl+S)": the name, then the keys in parentheses.
        const size_t open = name.rfind(L" (");
        if (open != std::wstring::npos && name.back() == L')') {
            keys = name.substr(open + 2, name.size() - open - 3);
            name.resize(open);
        }
        EXPECT_TRUE(Mentions(name)) << "palette command missing from the manual: " << Utf8(name);
        if (!keys.empty()) {
            EXPECT_TRUE(Mentions(keys)) << "keys missing: " << Utf8(keys) << " (" << Utf8(name) << ")";
        }
    }
}

TEST_F(Manual, NamesEveryMenuItemAndTheShortcutItShows) {
    MenuModel model = BuildEnglishMenuModel();
    ApplyMenuLanguage(model, kEnglishLanguage);  // the labels the English interface draws
    int items = 0;
    for (const Menu& menu : model.menus) {
        if (!menu.title.empty()) {
            EXPECT_TRUE(Mentions(WithoutMnemonics(menu.title))) << "menu: " << Utf8(menu.title);
        }
        for (const MenuItem& item : menu.items) {
            if (item.separator) continue;
            ++items;
            const std::wstring label = WithoutMnemonics(item.label);
            EXPECT_TRUE(Mentions(label)) << "menu item missing from the manual: " << Utf8(label);
            if (!item.shortcut.empty()) {
                EXPECT_TRUE(Mentions(item.shortcut)) << "shortcut missing: " << Utf8(item.shortcut) << " ("
                                                     << Utf8(label) << ")";
            }
        }
    }
    EXPECT_GE(items, 60);
    std::vector<SubmenuItem> submenuItems = RecentFilesSubmenu({}, kEnglishLanguage);
    const std::vector<SubmenuItem> recent = RecentFilesSubmenu({L"C:\\a.txt"}, kEnglishLanguage);
    submenuItems.push_back(recent.back());  // Clear List
    for (const std::vector<SubmenuItem>& submenu : model.submenus)
        submenuItems.insert(submenuItems.end(), submenu.begin(), submenu.end());
    for (const SubmenuItem& item : submenuItems) {
        if (item.separator) continue;
        EXPECT_TRUE(Mentions(WithoutMnemonics(item.label))) << "submenu item missing: " << Utf8(item.label);
    }
}

TEST_F(Manual, TroubleshootingQuotesEveryMessage) {
    const std::string section = SectionText(html, "troubleshooting");
    ASSERT_FALSE(section.empty()) << "no section with id \"troubleshooting\"";
    std::vector<std::wstring> messages;
    for (StringTable table : {StringTable::Messages, StringTable::FileErrors, StringTable::ExternalChange,
                              StringTable::HexMessages, StringTable::RecoveryPrompt, StringTable::RestorePrompt}) {
        const int count = StringTableEntryCount(table);
        EXPECT_GT(count, 0);
        for (int i = 0; i < count; ++i) messages.push_back(LocalizedTextFor(kEnglishLanguage, table, i));
    }
    for (BuildText t : {BuildText::UnsafePath, BuildText::NoOutputFile, BuildText::OutputCut, BuildText::ToolNotFound,
                        BuildText::NotStarted, BuildText::ExitCode, BuildText::Building, BuildText::Finished,
                        BuildText::SaveAndBuildQuestion, BuildText::SaveAndBuildButton})
        messages.push_back(BuildTextFor(kEnglishLanguage, t));
    messages.push_back(LocalizedTextFor(kEnglishLanguage, StringTable::SearchTexts, 4));  // the "stopped" note
    messages.push_back(LocalizedTextFor(kEnglishLanguage, StringTable::SearchTexts, 5));  // no matches
    messages.push_back(LocalizedTextFor(kEnglishLanguage, StringTable::SearchTexts, 6));  // a pattern error
    EXPECT_GE(messages.size(), 55u);
    for (const std::wstring& message : messages) {
        ASSERT_FALSE(message.empty());
        for (const std::string& part : FixedParts(message))
            EXPECT_NE(std::string::npos, section.find(part)) << "not in Troubleshooting: \"" << part << "\"";
    }
}

// The helpers above must not make every check pass: a text that is not in the manual is missed.
TEST_F(Manual, MissingTextsAreNoticed) {
    EXPECT_FALSE(Mentions(L"File: Teleport"));
    EXPECT_EQ(std::vector<std::string>({"Save changes to", "?"}), FixedParts(L"Save changes to %s?"));
    EXPECT_EQ(std::vector<std::string>({"a b", "c"}), FixedParts(L"a\n\nb %lld c %1"));
    EXPECT_EQ("x & y < z \xE2\x80\x94 Ctrl+K Ctrl+B", VisibleText("<p>x &amp; y &lt; z&nbsp;&#x2014;</p>\n<kbd>Ctrl+K</kbd> <kbd>Ctrl+B</kbd>"));
    EXPECT_EQ(L"Save As & Close", WithoutMnemonics(L"Save &As && Close"));
}

}  // namespace
