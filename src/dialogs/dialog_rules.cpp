#include "dialogs/dialog_rules.h"

#include <algorithm>

#include "base/strings.h"
#include "persist/json_text.h"

int ReadFieldNumber(const std::wstring& text) { return ParseLeadingInt(text, 0); }

int ClampToRange(long long value, FieldRange range) {
    return static_cast<int>(std::clamp<long long>(value, range.low, range.high));
}

int StepField(const std::wstring& text, int delta, FieldRange range) {
    return ClampToRange(static_cast<long long>(ReadFieldNumber(text)) + delta, range);
}

NumericSettings ReadSettingsFields(const std::wstring& fontSize, const std::wstring& tabWidth,
                                   const std::wstring& zoomField) {
    NumericSettings values;
    values.fontSize = ClampToRange(ReadFieldNumber(fontSize), kFontSizeRange);
    values.tabWidth = ClampToRange(ReadFieldNumber(tabWidth), kTabWidthRange);
    values.zoom = ClampToRange(static_cast<long long>(ReadFieldNumber(zoomField)) - 100, FieldRange{-20, 40});
    return values;
}

std::wstring ZoomFieldText(int zoom) { return std::to_wstring(static_cast<long long>(zoom) + 100); }

const DialogText kSettingsLabels[kSettingsLabelCount] = {{StringTable::SettingsDialog, 5, {20, 48, 136, 76}},
                                                         {StringTable::SettingsDialog, 1, {20, 88, 136, 116}},
                                                         {StringTable::SettingsDialog, 2, {20, 128, 136, 156}},
                                                         {StringTable::ZoomLabel, 0, {20, 168, 136, 196}},
                                                         {StringTable::SettingsDialog, 6, {20, 208, 136, 236}}};

const DialogText kSettingsButtonTexts[3] = {
    {StringTable::WordWrapLabel,
     0,
     {kSettingsWrapBox.left + 36, kSettingsWrapBox.top, kSettingsWrapBox.right, kSettingsWrapBox.bottom}},
    {StringTable::SettingsDialog, 4, kSettingsCancelRect},
    {StringTable::SettingsDialog, 3, kSettingsOkRect}};

int SettingsColumnShift(int widestLabel) {
    // A few pixels between the longest label and the controls.
    return std::max(0, kSettingsLabels[0].box.left + widestLabel + 6 - kSettingsLabels[0].box.right);
}

SettingsLayout LayOutSettingsDialog(int shift, int dpi) {
    const auto px = [dpi](const Rect& design) { return Scale(design, dpi); };
    const auto moved = [&](const Rect& r) { return px(Rect{r.left + shift, r.top, r.right + shift, r.bottom}); };
    SettingsLayout l{};
    l.width = Scale(kSettingsWidth + shift, dpi);
    l.height = Scale(kSettingsHeight, dpi);
    l.fontButton = moved(Rect{140, 49, 360, 75});
    for (int row = 0; row < 3; ++row) {
        const int y = 89 + 40 * row;
        l.minus[row] = moved(Rect{236, y, 264, y + 20});
        l.fields[row] = moved(kSettingsFieldRects[row]);
        l.plus[row] = moved(Rect{332, y, 360, y + 20});
    }
    l.encodingList = moved(Rect{140, 209, 334, 233});
    l.encodingListDrop = Scale(160, dpi);
    // The check box starts in the label column: only its right end moves.
    l.wordWrap =
        px(Rect{kSettingsWrapBox.left, kSettingsWrapBox.top, kSettingsWrapBox.right + shift, kSettingsWrapBox.bottom});
    l.cancel = moved(kSettingsCancelRect);
    l.ok = moved(kSettingsOkRect);
    l.close = moved(kSettingsCloseRect);
    return l;
}

AboutLayout LayOutAboutDialog(int dpi) {
    return AboutLayout{Scale(kAboutWidth, dpi), Scale(kAboutHeight, dpi), Scale(kAboutOkRect, dpi),
                       Scale(kAboutCloseRect, dpi)};
}

const EncodingChoice kEncodingChoices[kEncodingChoiceCount] = {
    {L"UTF-8", 0}, {L"UTF-8 BOM", 1}, {L"UTF-16 LE", 2}, {L"UTF-16 BE", 4}, {L"GBK", 5}, {L"GB2312", 6}, {L"ANSI", 3},
};

int EncodingListIndex(int encoding) {
    for (int i = 0; i < kEncodingChoiceCount; ++i) {
        if (kEncodingChoices[i].encoding == encoding) return i;
    }
    return -1;
}

std::wstring KeyBindingText(int language) {
    std::wstring text;
    const int lines = StringTableEntryCount(StringTable::KeyBindingLines);
    for (int i = 0; i < lines; ++i) {
        text += LocalizedTextFor(language, StringTable::KeyBindingLines, i);
        text += L"\r\n";
    }
    return text;
}

DialogHit HitTestDialog(int x, int y, const Rect& closeButton) {
    if (y < 0 || y >= 32 || closeButton.Contains(x, y)) return DialogHit::Client;
    return DialogHit::Caption;
}
