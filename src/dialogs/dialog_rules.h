#pragma once
// The window-free rules of the settings dialog, the about dialog and the key-binding list.
#include <string>

#include "base/geometry.h"
#include "base/strings.h"
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

// The settings dialog's texts and the boxes they are drawn in. The labels stand in a column from
// x 20 to 136; a language whose widest label needs more widens the column, and every control right
// of it, the dialog itself included, moves right by as much.
struct DialogText {
    StringTable table;
    int entry;
    Rect box;
};
constexpr int kSettingsLabelCount = 5;
extern const DialogText kSettingsLabels[kSettingsLabelCount];  // boxes of the unwidened column
// How far the controls right of the label column move for a widest label of `widestLabel` pixels.
int SettingsColumnShift(int widestLabel);
// The other texts of the settings dialog (word wrap, Cancel, OK) and of the about dialog (its two
// lines, OK), with the boxes their text is drawn in, before any shift.
extern const DialogText kSettingsButtonTexts[3];
constexpr Rect kSettingsWrapBox{20, 256, 360, 278};  // the check box; its text starts 36 px in
constexpr Rect kSettingsCancelRect{176, 306, 264, 336};
constexpr Rect kSettingsOkRect{272, 306, 360, 336};
constexpr Rect kAboutOkRect{352, 260, 436, 288};
constexpr int kAboutWidth = 460;
constexpr Rect kAboutLineBoxes[2] = {{34, 148, kAboutWidth - 34, 172}, {34, 176, kAboutWidth - 34, 200}};

// Where the dialogs' child windows stand, in a dialog's own pixels at `dpi`: each box is its design
// box (moved right by the settings dialog's column shift where it stands right of the column)
// scaled, as is the dialog's size, so that the controls keep their proportions at every scale.
struct SettingsLayout {
    int width, height;
    Rect fontButton, minus[3], fields[3], plus[3];
    Rect encodingList;  // the closed list; open, it reaches encodingListDrop pixels down from its top
    int encodingListDrop;
    Rect wordWrap, cancel, ok, close;
};
constexpr int kSettingsWidth = 380, kSettingsHeight = 340;
SettingsLayout LayOutSettingsDialog(int shift, int dpi);
struct AboutLayout {
    int width, height;
    Rect ok, close;
};
constexpr int kAboutHeight = 300;
AboutLayout LayOutAboutDialog(int dpi);
// The close buttons in design pixels; the settings dialog's moves right with its column.
constexpr Rect kSettingsCloseRect{334, 1, 380, 31};
constexpr Rect kAboutCloseRect{414, 1, 460, 31};
// The settings dialog's number fields (font size, tab width, zoom), before any shift.
constexpr Rect kSettingsFieldRects[3] = {{268, 89, 328, 109}, {268, 129, 328, 149}, {268, 169, 328, 189}};

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
