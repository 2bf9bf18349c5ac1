#pragma once

#include "twips.h"

#include <array>
#include <string_view>

// The main window's design, in twips. The window keeps every control where the
// design puts it; only the status bar follows the bottom edge. The band's art is
// drawn under these rectangles too, so the table lies below both.
namespace Form1Layout {

inline constexpr int kClientWidth = 9600;
inline constexpr int kClientHeight = 7200;

inline constexpr Twips kAddressBox{240, 480, 9195, 315};
inline constexpr Twips kEngine{0, 1200, 9600, 5775};
// Not in the window's design: the find bar, over the page area's bottom edge while open.
inline constexpr Twips kFindBar{0, 6525, 9600, 450};
inline constexpr int kStatusBarHeight = 255;
inline constexpr int kPanelWidth = 1440;
inline constexpr int kPanelCount = 4;

// Shown in the address box at start; nothing is loaded until the user acts.
inline constexpr char kDefaultAddress[] = "www.example.com";

enum class AreaKind { Label, Image };

struct BandArea
{
    const char *name;
    AreaKind kind;
    Twips at;
    const char *toolTip;
};

// Front to back: the first row receives the click where two areas overlap.
// The picture band itself is the last row.
inline constexpr std::array kBandAreas{
    BandArea{"Label16", AreaKind::Label, {8520, 880, 780, 255}, nullptr},
    BandArea{"Label15", AreaKind::Label, {5400, 840, 375, 255}, "Time Zone"},
    BandArea{"Label14", AreaKind::Label, {8040, 840, 255, 255}, "Exit Browser"},
    BandArea{"Label13", AreaKind::Label, {8040, 840, 255, 255}, "Exit"},
    BandArea{"Label12", AreaKind::Label, {7680, 840, 255, 255}, "Edit HTML Document"},
    BandArea{"Label11", AreaKind::Label, {7320, 840, 255, 255}, "Work offline"},
    BandArea{"Label10", AreaKind::Label, {6960, 840, 255, 255}, "Work online"},
    BandArea{"Label9", AreaKind::Label, {6600, 840, 255, 255}, "Save"},
    BandArea{"Label8", AreaKind::Label, {6240, 840, 255, 255}, "Open"},
    BandArea{"Label7", AreaKind::Label, {5880, 840, 255, 255}, "New HTML Document"},
    BandArea{"Image7", AreaKind::Image, {6960, 0, 1455, 375}, nullptr},
    BandArea{"Image6", AreaKind::Image, {5520, 0, 1455, 375}, nullptr},
    BandArea{"Image5", AreaKind::Image, {4080, 0, 1455, 375}, nullptr},
    BandArea{"Image4", AreaKind::Image, {2760, 0, 1335, 375}, nullptr},
    BandArea{"Image3", AreaKind::Image, {1320, 0, 1335, 375}, nullptr},
    BandArea{"Image2", AreaKind::Image, {0, 0, 1335, 375}, nullptr},
    BandArea{"Label6", AreaKind::Label, {7080, 0, 1335, 375}, nullptr},
    BandArea{"Label5", AreaKind::Label, {5520, 0, 1455, 375}, nullptr},
    BandArea{"Label4", AreaKind::Label, {4080, 0, 1455, 375}, nullptr},
    BandArea{"Label3", AreaKind::Label, {2760, 120, 1335, 375}, nullptr},
    BandArea{"Label2", AreaKind::Label, {1200, 0, 1455, 375}, nullptr},
    BandArea{"Label1", AreaKind::Label, {480, 600, 1215, 375}, nullptr},
    BandArea{"Image1", AreaKind::Image, {0, 0, 9600, 1215}, nullptr},
};

// A band area's rectangle, looked up by name when compiling: a wrong name does
// not compile.
constexpr Twips areaAt(std::string_view name)
{
    for (const BandArea &area : kBandAreas) {
        if (name == area.name)
            return area.at;
    }
    throw "no such band area";
}

inline constexpr char kBandPicture[] = ":/assets/band.jpg";
inline constexpr char kIcon[] = ":/assets/form1.ico";

} // namespace Form1Layout
