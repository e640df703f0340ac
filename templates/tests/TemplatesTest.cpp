// The template folders beside the program: one per template the catalogue names, each
// a complete starting point that the library turns into an asset.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

#include "catalogue/ClassTable.h"
#include "velcomp/ConfigFile.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/os/FileSystem.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {
namespace {

namespace fs = std::filesystem;

// The templates folder as 8-bit text ending in a separator: beside the program on Windows.
std::string TemplatesText() {
#ifdef _WIN32
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string text = program;
    return text.substr(0, text.rfind('\\')) + "\\templates\\";
#else
    return KITWRIGHT_TEMPLATES_DIR "/";
#endif
}

const fs::path kTemplates = PathFromText(TemplatesText());

std::set<std::string> TemplateNames() {
    std::set<std::string> names;
    for (const kitwright::ClassRow& row : kitwright::kClassTable) {
        if (!kitwright::IsReskinRow(row)) {
            names.insert(row.templateName);
        }
    }
    return names;
}

// The files a template's text files point at: config values, mtllib and map_Kd lines.
std::set<std::string> References(const fs::path& folder, const ConfigFile& config) {
    std::set<std::string> referenced;
    for (const char* key : {"mesh-table.default.mesh", "mesh-table.lights.mesh",
                            "mesh-table.bridge.mesh", "texture"}) {
        if (const std::string* value = config.Find(key)) {
            referenced.insert(*value);
        }
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string word;
            std::string file;
            if (words >> word >> file && (word == "mtllib" || word == "map_Kd")) {
                referenced.insert(file);
            }
        }
    }
    return referenced;
}

TEST(TemplatesTest, TheSixTemplatesAreTheOnesTheCatalogueNames) {
    EXPECT_EQ(TemplateNames(),
              (std::set<std::string>{"std_scenery", "building_lights", "turntable",
                                     "ground_texture", "meshspline", "railspline"}));
}

TEST(TemplatesTest, EachHasAConfigOfItsKindAndTheFilesItNames) {
    for (const std::string& name : TemplateNames()) {
        const fs::path folder = kTemplates / name;
        ConfigFile config;
        const Result read = ReadConfigFile(folder / "config.txt", config);
        ASSERT_TRUE(read.ok()) << name << ": " << read.message();
        EXPECT_NE(config.Find("kind"), nullptr) << name;
        for (const char* identity : {"kuid", "username", "description", "category-class"}) {
            EXPECT_EQ(config.Find(identity), nullptr) << name << " sets " << identity;
        }
        const std::set<std::string> referenced = References(folder, config);
        EXPECT_FALSE(referenced.empty()) << name;
        for (const std::string& file : referenced) {
            EXPECT_TRUE(fs::is_regular_file(folder / file)) << name << " lacks " << file;
        }
    }
}

TEST(TemplatesTest, EachBuildsACompleteAsset) {
    test::ScratchSettings scratch;
    const auto settings = scratch.Open();
    ASSERT_TRUE(SetCreatorKuid(*settings, 808).ok());
    test::TempFolder destination;
    Library library(*settings);
    for (const std::string& name : TemplateNames()) {
        library.ClosePackage();
        library.CreatePackage("");
        const std::string source = TemplatesText() + name + "\\";
        const Result added = library.AddToPackage({source, name, "A new " + name, "XX"});
        ASSERT_TRUE(added.ok()) << added.message();
        ASSERT_TRUE(library.ExtractFromPackage(destination.Text(), name).ok()) << name;
        ConfigFile config;
        ASSERT_TRUE(ReadConfigFile(destination.path() / name / "config.txt", config).ok());
        ConfigFile original;
        ASSERT_TRUE(ReadConfigFile(kTemplates / name / "config.txt", original).ok());
        EXPECT_EQ(*config.Find("kind"), *original.Find("kind"));
        EXPECT_EQ(config.EntryCount(), original.EntryCount() + 4) << name;
        for (const auto& entry : fs::directory_iterator(kTemplates / name)) {
            EXPECT_TRUE(fs::exists(destination.path() / name / entry.path().filename()));
        }
    }
}

}  // namespace
}  // namespace velcomp
