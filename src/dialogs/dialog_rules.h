#pragma once
// The window-free rules of the settings dialog, the about dialog and the key-binding list.
#include <string>

#include "app/geometry.h"
#include "tessary_version.h"

// The program's version, shown by the about dialog and "Check for Updates".
constexpr const wchar_t* kProgramVersion = L"v" TESSARY_VERSION_TEXT;

// The number in an edit field: leading blanks and one sign allowed, reading stops at the first
// non-digit, no digits read as 0. Values beyond the 32-bit range saturate instead of wrapping.
int ReadFieldNumber(const std::wstring& text);

struct FieldRange {
    int low, high;
};
constexpr FieldRange kFontSizeRange{8, 32};
constexpr FieldRange kTabWidthRange{1, 16};
constexpr FieldRange kZoomFieldRange{80, 140};  // the zoom field shows zoom + 100

int ClampToRange(long long value, FieldRange range);
// What the minus (-1) or plus (+1) button writes back into a field holding `text`.
int StepField(const std::wstring& text, int delta, FieldRange range);

// The three numeric settings as OK reads them from the field texts.
struct NumericSettings {
    int fontSize, tabWidth, zoom;
};
NumericSettings ReadSettingsFields(const std::wstring& fontSize, const std::wstring& tabWidth,
                                   const std::wstring& zoomField);
// The zoom field's text for a zoom value.
std::wstring ZoomFieldText(int zoom);

// The default-encoding list: display names in list order with their TextEncoding values.
struct EncodingChoice {
    const wchar_t* name;
    int encoding;
};
constexpr int kEncodingChoiceCount = 7;
extern const EncodingChoice kEncodingChoices[kEncodingChoiceCount];
// List position of a TextEncoding value; -1 when the list has none.
int EncodingListIndex(int encoding);

// The key-binding list in an interface language: its thirteen lines, each ended by CR LF.
std::wstring KeyBindingText(int language);

// Where the pointer is in a self-drawn dialog: the top 32 pixels drag it, except over its close button.
enum class DialogHit { Client, Caption };
DialogHit HitTestDialog(int x, int y, const Rect& closeButton);
