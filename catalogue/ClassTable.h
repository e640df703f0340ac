// The fixed catalogue of asset classes an author can start from.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace kitwright {

struct ClassRow {
    int image;                 // index of the row's picture in the class list's image list
    const char* label;         // what the class list shows; unique, the key of every look-up
    const char* templateName;  // template folder name, or kReskinTemplate
    const char* category;      // folder under World\Custom\ that receives the asset
};

// The template text shared by every repaint row.
inline constexpr const char kReskinTemplate[] = "liveryloft_reskin";

// Every repaint row's label is this, then the name of a stock model's folder.
inline constexpr const char kReskinPrefix[] = "RESKIN ";

// The rows in the order of the class list, first at the top: the template rows, each label
// starting with its two-letter class code, then a repaint row per stock model of Railvane
// Livery Loft, whose names keep their folders' mixed case.
inline constexpr ClassRow kClassTable[] = {
    {2, "BC Commercial", "std_scenery", "Scenery"},
    {2, "BI Industrial", "std_scenery", "Scenery"},
    {2, "BH Home & Residential", "building_lights", "Scenery"},
    {2, "BR Railway (scenery)", "std_scenery", "Scenery"},
    {2, "BR Railway (turntable)", "turntable", "Trackside"},
    {2, "BS Special", "std_scenery", "Scenery"},
    {2, "BT Traffic & Streetscape", "std_scenery", "Scenery"},
    {2, "BU Utility", "std_scenery", "Scenery"},
    {5, "FC Cactii", "std_scenery", "Scenery"},
    {5, "FF Flowers", "std_scenery", "Scenery"},
    {5, "FO Orchards & Crops", "std_scenery", "Scenery"},
    {5, "FS Shrub", "std_scenery", "Scenery"},
    {5, "FT Trees", "std_scenery", "Scenery"},
    {6, "GA Arid Ground", "ground_texture", "Scenery"},
    {6, "GL Lush Ground", "ground_texture", "Scenery"},
    {6, "GS Seasonal Ground", "ground_texture", "Scenery"},
    {0, "OA Animal Kingdom", "std_scenery", "Scenery"},
    {0, "OH Human", "std_scenery", "Scenery"},
    {3, "SF Fences", "meshspline", "Splines"},
    {3, "SR Roads", "meshspline", "Splines"},
    {1, "SP Platforms", "meshspline", "Scenery"},
    {1, "SS Structure", "meshspline", "Scenery"},
    {1, "SV Vegetation", "meshspline", "Scenery"},
    {1, "TB Bridge", "meshspline", "Track"},
    {3, "TR Rails", "railspline", "Track"},
    {1, "TT Tunnel", "meshspline", "Track"},
    {5, "VA Air", "std_scenery", "Scenery"},
    {5, "VL Land", "std_scenery", "Scenery"},
    {5, "VS Sea", "std_scenery", "Scenery"},
    {7, "RESKIN 1044", kReskinTemplate, "Trains"},
    {7, "RESKIN 3dtcar", kReskinTemplate, "Trains"},
    {7, "RESKIN 40ft_boxcar", kReskinTemplate, "Trains"},
    {7, "RESKIN 50ft_2door_boxcar", kReskinTemplate, "Trains"},
    {7, "RESKIN 50ft_gondola", kReskinTemplate, "Trains"},
    {7, "RESKIN 54ft_covered_hopper", kReskinTemplate, "Trains"},
    {7, "RESKIN 6e1", kReskinTemplate, "Trains"},
    {7, "RESKIN alco", kReskinTemplate, "Trains"},
    {7, "RESKIN Bay_window_caboose", kReskinTemplate, "Trains"},
    {7, "RESKIN bb15000", kReskinTemplate, "Trains"},
    {7, "RESKIN Class_2100", kReskinTemplate, "Trains"},
    {7, "RESKIN class37", kReskinTemplate, "Trains"},
    {7, "RESKIN class43", kReskinTemplate, "Trains"},
    {7, "RESKIN class50", kReskinTemplate, "Trains"},
    {7, "RESKIN class55", kReskinTemplate, "Trains"},
    {7, "RESKIN dl500_double", kReskinTemplate, "Trains"},
    {7, "RESKIN dl500_single", kReskinTemplate, "Trains"},
    {7, "RESKIN eaos", kReskinTemplate, "Trains"},
    {7, "RESKIN f7", kReskinTemplate, "Trains"},
    {7, "RESKIN f7b", kReskinTemplate, "Trains"},
    {7, "RESKIN faoos", kReskinTemplate, "Trains"},
    {7, "RESKIN flatcar", kReskinTemplate, "Trains"},
    {7, "RESKIN gbs", kReskinTemplate, "Trains"},
    {7, "RESKIN gp38", kReskinTemplate, "Trains"},
    {7, "RESKIN gs", kReskinTemplate, "Trains"},
    {7, "RESKIN nohab", kReskinTemplate, "Trains"},
    {7, "RESKIN Rc4", kReskinTemplate, "Trains"},
    {7, "RESKIN rils", kReskinTemplate, "Trains"},
    {7, "RESKIN sd40_2", kReskinTemplate, "Trains"},
    {7, "RESKIN sssy716container", kReskinTemplate, "Trains"},
    {7, "RESKIN sw7", kReskinTemplate, "Trains"},
    {7, "RESKIN uh", kReskinTemplate, "Trains"},
    {7, "RESKIN v200", kReskinTemplate, "Trains"},
    {7, "RESKIN vrs", kReskinTemplate, "Trains"},
};
inline constexpr std::size_t kClassCount = std::size(kClassTable);

// Index of the row whose label equals `label` exactly, or -1.
int FindClassRow(std::string_view label);

const ClassRow& ClassRowAt(int index);
int RowImage(int index);
const char* RowLabel(int index);
const char* RowTemplate(int index);
const char* RowCategory(int index);

// The first two characters of a template row's label ("BC").
std::string ClassCode(const ClassRow& row);
// A repaint row's label without its "RESKIN " prefix ("gp38").
std::string ModelName(const ClassRow& row);
// True for repaint rows, decided on the template text alone.
bool IsReskinRow(const ClassRow& row);

}  // namespace kitwright
