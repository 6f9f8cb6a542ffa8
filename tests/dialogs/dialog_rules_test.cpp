#include "dialogs/dialog_rules.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/gdi_util.h"
#include "base/encoding.h"
#include "base/strings.h"

namespace {

TEST(SettingsFields, NumbersAreReadSaturating) {
    EXPECT_EQ(50, ReadFieldNumber(L"50"));
    EXPECT_EQ(-7, ReadFieldNumber(L"  -7x"));
    EXPECT_EQ(0, ReadFieldNumber(L""));
    EXPECT_EQ(0, ReadFieldNumber(L"abc"));
    EXPECT_EQ(INT_MAX, ReadFieldNumber(L"99999999999"));
    EXPECT_EQ(INT_MAX, ReadFieldNumber(L"2147483648"));
    EXPECT_EQ(INT_MIN, ReadFieldNumber(L"-99999999999999999999999"));
}

TEST(SettingsFields, OkClampsEachField) {
    const struct {
        const wchar_t *fontSize, *tabWidth, *zoom;
        int expected[3];
    } cases[] = {{L"50", L"0", L"300", {32, 1, 40}},
                 {L"3", L"99999999999", L"-99999999999", {8, 16, -20}},
                 {L"12", L"4", L"95", {12, 4, -5}}};
    for (const auto& c : cases) {
        const NumericSettings v = ReadSettingsFields(c.fontSize, c.tabWidth, c.zoom);
        EXPECT_EQ((std::vector<int>(c.expected, c.expected + 3)), (std::vector<int>{v.fontSize, v.tabWidth, v.zoom}));
    }
    EXPECT_EQ(L"60", ZoomFieldText(-40));
    EXPECT_EQ(L"140", ZoomFieldText(40));
}

TEST(SettingsFields, MinusAndPlusStayInRange) {
    EXPECT_EQ(80, StepField(L"80", -1, kZoomFieldRange));
    EXPECT_EQ(81, StepField(L"80", +1, kZoomFieldRange));
    EXPECT_EQ(140, StepField(L"140", +1, kZoomFieldRange));
    EXPECT_EQ(32, StepField(L"32", +1, kFontSizeRange));
    EXPECT_EQ(8, StepField(L"", -1, kFontSizeRange));
    EXPECT_EQ(16, StepField(L"99999999999", +1, kTabWidthRange));
    EXPECT_EQ(1, StepField(L"-99999999999", -1, kTabWidthRange));
}

// The list names each encoding as the status bar does, in this order, and maps back to its place.
TEST(SettingsFields, EncodingListOrder) {
    std::wstring names;
    for (int i = 0; i < kEncodingChoiceCount; ++i) {
        names += std::wstring(kEncodingChoices[i].name) + L"|";
        EXPECT_EQ(EncodingNameFor(static_cast<uint32_t>(kEncodingChoices[i].encoding), 1252), kEncodingChoices[i].name);
        EXPECT_EQ(i, EncodingListIndex(kEncodingChoices[i].encoding));
    }
    EXPECT_EQ(L"UTF-8|UTF-8 BOM|UTF-16 LE|UTF-16 BE|GBK|GB2312|ANSI|", names);
    EXPECT_EQ(-1, EncodingListIndex(7));
}

// Thirteen lines in the interface language, each ended by CR LF, under a caption of that language.
TEST(KeyBindingList, CaptionAndLinesFollowTheLanguage) {
    for (int language = 0; language < kInterfaceLanguageCount; ++language) {
        const std::wstring text = KeyBindingText(language);
        size_t lines = 0;
        for (size_t at = 0, end; (end = text.find(L"\r\n", at)) != std::wstring::npos; at = end + 2, ++lines)
            EXPECT_LT(at, end) << "language " << language << ": an empty line";
        EXPECT_EQ(13u, lines) << language;
        EXPECT_EQ(L"\r\n", text.substr(text.size() - 2));
        EXPECT_FALSE(std::wstring(KeyBindingsCaption(language)).empty());
    }
    EXPECT_EQ(L"Key Bindings", std::wstring(KeyBindingsCaption(kEnglishLanguage)));
    EXPECT_EQ(L"\u5FEB\u6377\u952E", std::wstring(KeyBindingsCaption(2)));
    const std::wstring english = KeyBindingText(kEnglishLanguage);
    EXPECT_NE(std::wstring::npos, english.find(L"\r\nCtrl+,Settings\r\nCtrl+B / Ctrl+Break  Build"));
    EXPECT_EQ(0u, english.find(L"Ctrl+N / Ctrl+O / Ctrl+S / Ctrl+Shift+S  New / Open / Save / Save As\r\n"));
    EXPECT_NE(std::wstring::npos, KeyBindingText(3).find(L"\r\nCtrl+,Einstellungen\r\n"));
}

TEST(DialogHitTest, TitleStripDragsExceptTheCloseButton) {
    const Rect close{334, 1, 380, 31};
    EXPECT_EQ(DialogHit::Caption, HitTestDialog(10, 0, close));
    EXPECT_EQ(DialogHit::Caption, HitTestDialog(333, 31, close));
    EXPECT_EQ(DialogHit::Caption, HitTestDialog(379, 0, close));  // the close button starts at y 1
    EXPECT_EQ(DialogHit::Client, HitTestDialog(334, 1, close));
    EXPECT_EQ(DialogHit::Client, HitTestDialog(379, 30, close));
    EXPECT_EQ(DialogHit::Client, HitTestDialog(10, 32, close));
}

// Each side of `r` is the side of `design` (a 96-dpi box) times dpi / 96, within a pixel.
bool ScaledWithinAPixel(const Rect& design, const Rect& r, int dpi) {
    const auto within = [dpi](int d, int v) { return std::abs(static_cast<long long>(v) * 96 - 1LL * d * dpi) <= 96; };
    return within(design.left, r.left) && within(design.top, r.top) && within(design.right, r.right) &&
           within(design.bottom, r.bottom);
}

// At every scale each control of both dialogs is its 96-dpi box scaled (within a pixel), lies
// inside the dialog and clear of every other control, and the hit test, fed the pointer at the
// dialog's own scale, finds the scaled close button and the title strip beside it.
TEST(DialogLayout, ControlsScaleInsideTheDialogWithoutOverlap) {
    const auto settingsBoxes = [](const SettingsLayout& l) {
        std::vector<Rect> boxes{l.fontButton, l.encodingList, l.wordWrap, l.cancel, l.ok, l.close};
        for (int row = 0; row < 3; ++row) boxes.insert(boxes.end(), {l.minus[row], l.fields[row], l.plus[row]});
        return boxes;
    };
    const auto check = [](const std::vector<Rect>& design, const std::vector<Rect>& boxes, int w, int h, int dpi) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Rect& r = boxes[i];
            EXPECT_TRUE(ScaledWithinAPixel(design[i], r, dpi)) << "control " << i << " at " << dpi;
            EXPECT_TRUE(!r.Empty() && r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h)
                << "control " << i << " outside " << w << "x" << h << " at " << dpi;
            for (size_t j = 0; j < i; ++j) {
                const Rect& o = boxes[j];
                EXPECT_FALSE(r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom)
                    << "controls " << j << " and " << i << " overlap at " << dpi;
            }
        }
    };
    const AboutLayout about96 = LayOutAboutDialog(96);
    for (int dpi : {96, 120, 144, 192, 240}) {
        for (int shift = 0; shift <= 120; shift += 17) {
            const SettingsLayout design = LayOutSettingsDialog(shift, 96), l = LayOutSettingsDialog(shift, dpi);
            SCOPED_TRACE(testing::Message() << "shift " << shift);
            EXPECT_TRUE(
                ScaledWithinAPixel(Rect{0, 0, design.width, design.height}, Rect{0, 0, l.width, l.height}, dpi));
            EXPECT_TRUE(
                ScaledWithinAPixel(Rect{0, 0, 0, design.encodingListDrop}, Rect{0, 0, 0, l.encodingListDrop}, dpi));
            check(settingsBoxes(design), settingsBoxes(l), l.width, l.height, dpi);
            const Rect close{kSettingsCloseRect.left + shift, 1, kSettingsCloseRect.right + shift, 31};
            const int cy = (l.close.top + l.close.bottom) / 2;
            EXPECT_EQ(DialogHit::Client, HitTestDialog(Unscale(l.close.left + 1, dpi), Unscale(cy, dpi), close));
            EXPECT_EQ(DialogHit::Caption, HitTestDialog(Unscale(l.close.left - 2, dpi), Unscale(cy, dpi), close));
            EXPECT_EQ(DialogHit::Client,
                      HitTestDialog(Unscale(l.fontButton.left, dpi), Unscale(l.close.bottom + 2, dpi), close));
        }
        const AboutLayout l = LayOutAboutDialog(dpi);
        EXPECT_TRUE(ScaledWithinAPixel(Rect{0, 0, about96.width, about96.height}, Rect{0, 0, l.width, l.height}, dpi));
        check({about96.ok, about96.close}, {l.ok, l.close}, l.width, l.height, dpi);
    }
}

}  // namespace

// Every label and button text of the settings and about dialogs fits the box it is drawn in, in all
// twenty interface languages, measured as the dialogs draw them: with the interface font.
TEST(DialogTexts, FitTheirBoxesInEveryLanguage) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    HFONT font = CreateUiFont(96);
    ASSERT_NE(nullptr, font);
    HGDIOBJ old = SelectObject(dc, font);
    const auto width = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    constexpr int kButtonPadding = 8;  // centred button texts keep this much room on either side
    for (int language = 0; language < kInterfaceLanguageCount; ++language) {
        int widest = 0;
        for (const DialogText& label : kSettingsLabels)
            widest = std::max(widest, width(LocalizedTextFor(language, label.table, label.entry)));
        const int shift = SettingsColumnShift(widest);
        for (const DialogText& label : kSettingsLabels) {
            const std::wstring text = LocalizedTextFor(language, label.table, label.entry);
            EXPECT_LE(label.box.left + width(text), label.box.right + shift) << "language " << language;
        }
        const DialogText& wrap = kSettingsButtonTexts[0];
        EXPECT_LE(width(LocalizedTextFor(language, wrap.table, wrap.entry)), wrap.box.Width() + shift)
            << "language " << language;
        for (const DialogText& button : {kSettingsButtonTexts[1], kSettingsButtonTexts[2]}) {
            EXPECT_LE(width(LocalizedTextFor(language, button.table, button.entry)) + 2 * kButtonPadding,
                      button.box.Width())
                << "language " << language << ", entry " << button.entry;
        }
        EXPECT_LE(width(LocalizedTextFor(language, StringTable::SettingsDialog, 3)) + 2 * kButtonPadding,
                  kAboutOkRect.Width())
            << "language " << language;
        for (int line = 0; line < 2; ++line) {
            const auto entry = line == 0 ? MessageText::AboutLine1 : MessageText::AboutLine2;
            EXPECT_LE(width(MessageIn(language, entry)), kAboutLineBoxes[line].Width()) << "language " << language;
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}
