#include "catalogue/ClassTable.h"

#include <cassert>
#include <cstring>

namespace kitwright {
namespace {

constexpr std::size_t kReskinPrefixLength = 7;  // "RESKIN "
constexpr std::size_t kClassCodeLength = 2;

#define RESKIN(model) \
    { 7, "RESKIN " model, kReskinTemplate, "Trains" }

}  // namespace

const ClassRow kClassTable[kClassCount] = {
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
    RESKIN("1044"),
    RESKIN("3dtcar"),
    RESKIN("40ft_boxcar"),
    RESKIN("50ft_2door_boxcar"),
    RESKIN("50ft_gondola"),
    RESKIN("54ft_covered_hopper"),
    RESKIN("6e1"),
    RESKIN("alco"),
    RESKIN("Bay_window_caboose"),
    RESKIN("bb15000"),
    RESKIN("Class_2100"),
    RESKIN("class37"),
    RESKIN("class43"),
    RESKIN("class50"),
    RESKIN("class55"),
    RESKIN("dl500_double"),
    RESKIN("dl500_single"),
    RESKIN("eaos"),
    RESKIN("f7"),
    RESKIN("f7b"),
    RESKIN("faoos"),
    RESKIN("flatcar"),
    RESKIN("gbs"),
    RESKIN("gp38"),
    RESKIN("gs"),
    RESKIN("nohab"),
    RESKIN("Rc4"),
    RESKIN("rils"),
    RESKIN("sd40_2"),
    RESKIN("sssy716container"),
    RESKIN("sw7"),
    RESKIN("uh"),
    RESKIN("v200"),
    RESKIN("vrs"),
};

#undef RESKIN

int FindClassRow(std::string_view label) {
    // Every row is visited and a later match wins, as in the original tool's lookup; the
    // labels are unique (the catalogue tests hold them so), so only an edited table could tell.
    int found = -1;
    for (std::size_t i = 0; i < kClassCount; ++i) {
        if (label == kClassTable[i].label) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

const ClassRow& ClassRowAt(int index) {
    assert(index >= 0 && static_cast<std::size_t>(index) < kClassCount);
    return kClassTable[index];
}

int RowImage(int index) {
    return ClassRowAt(index).image;
}
const char* RowLabel(int index) {
    return ClassRowAt(index).label;
}
const char* RowTemplate(int index) {
    return ClassRowAt(index).templateName;
}
const char* RowCategory(int index) {
    return ClassRowAt(index).category;
}

std::string ClassCode(const ClassRow& row) {
    return std::string(row.label).substr(0, kClassCodeLength);
}

std::string ModelName(const ClassRow& row) {
    const std::string label = row.label;
    return label.size() > kReskinPrefixLength ? label.substr(kReskinPrefixLength) : std::string();
}

bool IsReskinRow(const ClassRow& row) {
    return std::strcmp(row.templateName, kReskinTemplate) == 0;
}

}  // namespace kitwright
