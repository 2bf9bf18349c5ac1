#pragma once

#include "twips.h"

#include <QPalette>
#include <QRgb>

#include <array>
#include <optional>

// The time window's design, in twips. Rows run front to back: the first row is on top.
namespace Form3Layout {

inline constexpr const char *kCaption = "Time Zone";
inline constexpr QRgb kBackground = qRgb(192, 192, 255);
inline constexpr Twips kClientArea{0, 0, 4680, 3195};

// Where the design's face is missing, the nearest sans-serif stands in at the same size.
inline constexpr const char *kFontFamily = "MS Sans Serif";
inline constexpr qreal kWindowFontPoints = 9.75;
inline constexpr qreal kSmallFontPoints = 8.25;

inline constexpr int kReadoutInterval = 100; // Timer1, ms
inline constexpr int kHandInterval = 1;      // Timer2, ms: the shortest a timer takes

enum class Kind { Label, Line, Button };
enum class Font { Window, Small }; // Window: inherited from the window; Small: 8.25 pt

// Desktop colours of the frame lines. The palette has no border colour, so the
// inactive border takes Mid, the shade between button face and shadow, which
// keeps the inner edge of the frame apart from the button-face lines.
inline constexpr QPalette::ColorRole kWindowText = QPalette::WindowText;
inline constexpr QPalette::ColorRole kButtonFace = QPalette::Button;
inline constexpr QPalette::ColorRole kInactiveBorder = QPalette::Mid;

inline constexpr QRgb kBlue = qRgb(0, 0, 255);
inline constexpr QRgb kBlack = qRgb(0, 0, 0);
inline constexpr QRgb kWhite = qRgb(255, 255, 255);
inline constexpr QRgb kNumeralGreen = qRgb(0, 192, 0);

struct Control
{
    const char *name;
    Kind kind;
    Twips at;                       // labels and the button
    LineCoords line;                // lines
    const char *text;               // labels and the button
    QRgb textColour;                // labels
    std::optional<QRgb> fill;       // opaque labels; transparent ones have none
    QPalette::ColorRole lineColour; // lines
    Font font;
};

constexpr Control label(const char *name, Twips at, const char *text, QRgb textColour,
                        std::optional<QRgb> fill, Font font = Font::Window)
{
    return {name, Kind::Label, at, {}, text, textColour, fill, kWindowText, font};
}

constexpr Control numeral(const char *name, const char *text, int left, int top)
{
    return label(name, {left, top, 375, 255}, text, kNumeralGreen, std::nullopt, Font::Small);
}

constexpr Control line(const char *name, float x1, float y1, float x2, float y2,
                       QPalette::ColorRole colour)
{
    return {name, Kind::Line, {}, {x1, y1, x2, y2}, "", kBlack, std::nullopt, colour, Font::Window};
}

constexpr Control button(const char *name, Twips at, const char *text)
{
    return {name, Kind::Button, at, {}, text, kBlack, std::nullopt, kWindowText, Font::Small};
}

inline constexpr std::array kControls{
    button("Command1", {3720, 120, 855, 375}, "Back"),
    numeral("Label17", "11", 720, 1320),
    numeral("Label16", "10", 480, 1560),
    numeral("Label15", "9", 480, 1920),
    numeral("Label14", "8", 480, 2280),
    numeral("Label13", "7", 840, 2520),
    numeral("Label12", "6", 1320, 2520),
    numeral("Label11", "5", 1680, 2520),
    numeral("Label10", "4", 2040, 2280),
    numeral("Label9", "3", 2040, 1920),
    numeral("Label8", "2", 2040, 1560),
    numeral("Label7", "1", 1680, 1320),
    numeral("Label6", "12", 1200, 1320),
    // The hand, at 12 o'clock about its pivot (1320, 2040), the centre of the frame.
    line("Line10", 1320, 2040, 1320, 1680, kWindowText),
    label("Label5", {360, 1320, 1935, 1455}, "", kBlack, kWhite),
    // The two-tone frame. Line9 lies over Line1, so the top edge shows the button face.
    line("Line9", 240, 1200, 2400, 1200, kButtonFace),
    line("Line8", 2400, 1215, 240, 1215, kWindowText),
    line("Line4", 240, 2860, 2400, 2860, kButtonFace),
    line("Line7", 240, 1200, 245, 2880, kInactiveBorder),
    line("Line6", 255, 1200, 255, 2880, kWindowText),
    line("Line5", 2380, 1200, 2385, 2880, kInactiveBorder),
    line("Line3", 2400, 2880, 240, 2880, kWindowText),
    line("Line2", 2400, 1200, 2400, 2880, kWindowText),
    line("Line1", 240, 1200, 2400, 1200, kWindowText),
    label("Label4", {2040, 600, 1335, 255}, "", kBlack, kWhite),
    label("Label3", {840, 600, 1095, 255}, "Date ", kBlue, std::nullopt),
    label("Label2", {2040, 240, 1335, 255}, "", kBlack, kWhite),
    label("Label1", {840, 240, 1095, 255}, "Local Time ", kBlue, std::nullopt),
};

} // namespace Form3Layout
