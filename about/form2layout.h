#pragma once

#include "twips.h"

#include <QRgb>

#include <array>
#include <optional>

// The About window's design: its client area on the screen and its controls, in
// twips, front to back.

inline constexpr Twips kForm2ClientArea{3045, 1335, 780, 30};

enum class Form2Kind { PushButton, Line, Label };

struct Form2Control
{
    const char *name;
    Form2Kind kind;
    Twips box;          // push button and label; a line's box is unused
    LineCoords ends;    // line only, fractional twips as the line is drawn from them
    std::optional<QRgb> colour; // line colour, or a label's text colour; none keeps the default
    int borderWidth;    // line only, in pixels
    const char *text;   // caption, or a label's text
};

// Three parts, each pushed onto a line of its own by the run of spaces before it
// when the label wraps the text at its width.
inline constexpr char kCreditsText[] =
    "Velt Software :"
    "                                                                   "
    "Design and Graphics  :"
    "                                                                    "
    "Ada Brenner & Jon Okafor";
static_assert(sizeof(kCreditsText) - 1 == 196, "the credits are one text of 196 characters");

inline constexpr char kNoticeText[] = "Velt Browser comes with no warranty.";

inline constexpr std::optional<QRgb> kDefaultColour;
inline constexpr LineCoords kNoEnds{0, 0, 0, 0};
inline constexpr Twips kNoBox{0, 0, 0, 0};

inline constexpr std::array kForm2Controls{
    Form2Control{"Command1", Form2Kind::PushButton, {1080, 2040, 855, 375}, kNoEnds, kDefaultColour, 0, "OK"},
    Form2Control{"Line4", Form2Kind::Line, kNoBox, {0, 1080, 3000, 1080}, qRgb(64, 64, 64), 1, nullptr},
    Form2Control{"Line3", Form2Kind::Line, kNoBox, {0, 1080, 3000, 1080}, qRgb(128, 128, 128), 2, nullptr},
    Form2Control{"Label2", Form2Kind::Label, {480, 1200, 2055, 615}, kNoEnds, qRgb(0, 0, 255), 0, kNoticeText},
    Form2Control{"Line2", Form2Kind::Line, kNoBox, {0, 375, 1800, 375}, qRgb(128, 128, 128), 2, nullptr},
    Form2Control{"Line1", Form2Kind::Line, kNoBox, {0, 360, 1800, 360}, qRgb(64, 64, 64), 1, nullptr},
    Form2Control{"Label1", Form2Kind::Label, {240, 120, 2895, 855}, kNoEnds, kDefaultColour, 0, kCreditsText},
};
