// Where the editor places each bitmap on the 875 x 171 panel, and the size and frame count
// of every bitmap. The generator bakes the panel behind each bitmap from its first place,
// checks that every other place shows the same panel, and composes the preview from it.
#pragma once

#include <vector>

namespace gen {

constexpr int kPanelWidth = 875;
constexpr int kPanelHeight = 171;

struct BitmapShape {
    int id;
    int width;
    int height; // of the whole strip
    int frames;
};

struct Placement {
    int bitmap;
    int left;
    int top;
    int previewFrame; // the frame the preview shows
};

struct Rect {
    double left, top, right, bottom;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    double cx() const { return (left + right) / 2; }
    double cy() const { return (top + bottom) / 2; }
};

inline const std::vector<BitmapShape>& bitmapShapes() {
    static const std::vector<BitmapShape> shapes = {
        {128, 875, 171, 1},   {129, 875, 171, 1},   {130, 37, 3636, 101}, {131, 37, 3636, 101},
        {132, 36, 3636, 101}, {133, 36, 3737, 101}, {134, 36, 3636, 101}, {135, 36, 3737, 101},
        {136, 36, 3737, 101}, {137, 37, 3737, 101}, {138, 36, 3636, 101}, {139, 37, 3636, 101},
        {140, 36, 3636, 101}, {141, 36, 3636, 101}, {142, 37, 3636, 101}, {143, 36, 3636, 101},
        {144, 25, 44, 2},     {145, 24, 40, 2},     {146, 24, 40, 2},     {147, 24, 40, 2},
        {148, 24, 40, 2},     {149, 24, 40, 2},     {150, 27, 26, 2},     {151, 22, 24, 2},
        {152, 23, 24, 2},     {153, 30, 39, 3},     {154, 31, 33, 3},     {155, 8, 52, 2},
        {157, 7, 50, 2},      {158, 6, 50, 2},      {159, 7, 70, 2},      {160, 8, 52, 2},
        {161, 7, 52, 2},      {163, 3, 4, 2},       {164, 13, 176, 11},   {165, 13, 208, 13},
        {166, 3, 16, 2},      {167, 20, 38, 2},     {168, 19, 38, 2},     {169, 19, 38, 2},
        {170, 19, 38, 2},     {171, 19, 38, 2},     {172, 19, 38, 2},     {173, 7, 945, 21},
        {174, 16, 280, 5},    {989, 25, 42, 3},     {990, 14, 42, 3},     {991, 25, 42, 3},
        {992, 25, 42, 3},     {993, 25, 42, 3},     {994, 25, 42, 3},     {995, 25, 42, 3},
        {996, 14, 42, 3},     {997, 24, 55, 5},     {998, 25, 42, 3},     {999, 25, 42, 3},
    };
    return shapes;
}

// Every bitmap control of the editor at its top-left corner (the about picture excepted).
inline const std::vector<Placement>& placements() {
    static const std::vector<Placement> p = {
        // knobs
        {130, 162, 29, 62},
        {130, 209, 29, 30},
        {131, 162, 93, 45},
        {131, 209, 93, 100},
        {132, 486, 29, 20},
        {133, 440, 28, 85},
        {134, 533, 29, 50},
        {135, 392, 93, 50},
        {136, 439, 93, 100},
        {137, 486, 93, 10},
        {137, 532, 93, 10},
        {138, 600, 29, 35},
        {139, 672, 29, 50},
        {139, 719, 29, 65},
        {139, 766, 29, 50},
        {140, 599, 93, 50},
        {141, 646, 93, 70},
        {142, 758, 93, 50},
        {143, 805, 93, 25},
        // buttons and switches
        {144, 814, 44, 0},
        {149, 67, 70, 1},
        {145, 258, 54, 0},
        {146, 258, 118, 0},
        {147, 258, 27, 1},
        {148, 258, 91, 0},
        {150, 87, 25, 0},
        {150, 87, 89, 1},
        {153, 122, 25, 1},
        {153, 122, 89, 2},
        {151, 321, 89, 0},
        {154, 397, 25, 0},
        {154, 397, 55, 1},
        {152, 721, 89, 0},
        {152, 721, 120, 1},
        {158, 382, 19, 1},
        {157, 585, 19, 0},
        {159, 657, 18, 1},
        {160, 290, 82, 1},
        {155, 584, 83, 1},
        {161, 697, 82, 1},
        // numeric display: "120.0"
        {165, 298, 26, 2},
        {164, 314, 26, 3},
        {164, 330, 26, 1},
        {164, 347, 26, 1},
        {163, 311, 40, 0},
        {163, 327, 40, 0},
        {163, 343, 40, 1},
        {166, 311, 30, 0},
        {166, 327, 30, 0},
        {166, 344, 30, 0},
        // step buttons
        {168, 91, 50, 0},
        {167, 127, 50, 0},
        {170, 91, 114, 0},
        {169, 128, 114, 1},
        {172, 305, 114, 0},
        {171, 341, 114, 0},
        // wave switch and input level bars
        {174, 370, 81, 2},
        {173, 43, 23, 16},
        {173, 43, 87, 12},
        // preset bar
        {998, 69, 156, 0},
        {999, 95, 156, 1},
        {997, 255, 158, 0},
        {993, 334, 156, 0},
        {994, 360, 156, 0},
        {989, 386, 156, 0},
        {991, 649, 156, 0},
        {992, 675, 156, 2},
        {995, 701, 156, 0},
        {996, 822, 156, 2},
        {990, 839, 156, 0},
    };
    return p;
}

// Areas without a bitmap, for the background's printed scales.
inline constexpr Rect kLfoRateArea{324, 114, 341, 133};
inline constexpr Rect kDelayLTimeArea{113, 48, 124, 70};
inline constexpr Rect kDelayRTimeArea{113, 112, 124, 134};
inline constexpr Rect kTempoArea{293, 21, 364, 46};
inline constexpr Rect kLogoArea{307, 51, 352, 75};
inline constexpr Rect kNameField{127, 158, 238, 168};
inline constexpr Rect kMenuButton{239, 158, 250, 168};
inline constexpr Rect kControllerField{727, 158, 813, 168};

} // namespace gen
