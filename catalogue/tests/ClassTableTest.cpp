#include "catalogue/ClassTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kitwright {
namespace {

TEST(ClassTableTest, HoldsSixtyThreeUniqueLabelsInListOrder) {
    std::set<std::string> labels;
    for (const ClassRow& row : kClassTable) {
        labels.insert(row.label);
        EXPECT_GE(row.image, 0);
        EXPECT_LE(row.image, 7);
        EXPECT_NE(row.image, 4) << row.label;  // the signal picture belongs to no class
    }
    EXPECT_EQ(labels.size(), 63u);
    EXPECT_STREQ(RowLabel(0), "BC Commercial");
    EXPECT_STREQ(RowLabel(28), "VS Sea");
    EXPECT_STREQ(RowLabel(29), "RESKIN 1044");
    EXPECT_STREQ(RowLabel(62), "RESKIN vrs");
}

TEST(ClassTableTest, FindsEachRowByItsExactLabel) {
    for (int i = 0; i < static_cast<int>(kClassCount); ++i) {
        EXPECT_EQ(FindClassRow(RowLabel(i)), i);
    }
    EXPECT_EQ(FindClassRow("bc commercial"), -1);
    EXPECT_EQ(FindClassRow("BC Commercial "), -1);
    EXPECT_EQ(FindClassRow("BC Commercia"), -1);
    EXPECT_EQ(FindClassRow(""), -1);
    EXPECT_EQ(FindClassRow(std::string(259, 'B')), -1);
}

TEST(ClassTableTest, RowsSharingACodeKeepTheirOwnTemplateAndCategory) {
    const int scenery = FindClassRow("BR Railway (scenery)");
    const int turntable = FindClassRow("BR Railway (turntable)");
    EXPECT_EQ(ClassCode(ClassRowAt(scenery)), "BR");
    EXPECT_EQ(ClassCode(ClassRowAt(turntable)), "BR");
    EXPECT_STREQ(RowTemplate(scenery), "std_scenery");
    EXPECT_STREQ(RowCategory(scenery), "Scenery");
    EXPECT_STREQ(RowTemplate(turntable), "turntable");
    EXPECT_STREQ(RowCategory(turntable), "Trackside");
}

TEST(ClassTableTest, SplineTemplatesServeTheirCategories) {
    const std::pair<const char*, const char*> expected[] = {
        {"SF Fences", "Splines"},    {"SR Roads", "Splines"},      {"SP Platforms", "Scenery"},
        {"SS Structure", "Scenery"}, {"SV Vegetation", "Scenery"}, {"TB Bridge", "Track"},
        {"TT Tunnel", "Track"}};
    for (const auto& [label, category] : expected) {
        const int index = FindClassRow(label);
        EXPECT_STREQ(RowTemplate(index), "meshspline") << label;
        EXPECT_STREQ(RowCategory(index), category) << label;
    }
    EXPECT_STREQ(RowTemplate(FindClassRow("TR Rails")), "railspline");
    EXPECT_STREQ(RowCategory(FindClassRow("TR Rails")), "Track");
    EXPECT_STREQ(RowTemplate(FindClassRow("BH Home & Residential")), "building_lights");
    EXPECT_STREQ(RowTemplate(FindClassRow("GS Seasonal Ground")), "ground_texture");
}

TEST(ClassTableTest, ReskinRowsAreTheLastThirtyFourAndKeepTheModelCase) {
    int reskins = 0;
    for (int i = 0; i < static_cast<int>(kClassCount); ++i) {
        const ClassRow& row = ClassRowAt(i);
        EXPECT_EQ(IsReskinRow(row), i >= 29) << row.label;
        if (IsReskinRow(row)) {
            ++reskins;
            EXPECT_EQ(row.image, 7);
            EXPECT_STREQ(row.category, "Trains");
        }
    }
    EXPECT_EQ(reskins, 34);
    EXPECT_EQ(ModelName(ClassRowAt(FindClassRow("RESKIN 54ft_covered_hopper"))),
              "54ft_covered_hopper");
    EXPECT_EQ(ModelName(ClassRowAt(FindClassRow("RESKIN Bay_window_caboose"))),
              "Bay_window_caboose");
    EXPECT_EQ(ModelName(ClassRowAt(FindClassRow("RESKIN Rc4"))), "Rc4");
}

TEST(ClassTableTest, ReskinTestLooksAtTheTemplateNotTheLabel) {
    const ClassRow lookalike{7, "RESKIN fake", "std_scenery", "Trains"};
    const ClassRow marked{2, "BC Marked", kReskinTemplate, "Scenery"};
    EXPECT_FALSE(IsReskinRow(lookalike));
    EXPECT_TRUE(IsReskinRow(marked));
    EXPECT_EQ(ClassCode(marked), "BC");
}

}  // namespace
}  // namespace kitwright
