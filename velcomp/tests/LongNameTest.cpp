// Names up to the rules' limits, in a destination deep enough that the paths run far past
// the 260 characters that Windows' plain calls take: each is refused at the add with the
// limit named, or written, refused when written again, failed and retried, cleanly.
#include <gtest/gtest.h>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/tests/ScratchSettings.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::LongSnapshot;
using test::Tree;

class LongNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 77).ok());
        test::MakeSourceFolder(source_.path(), 12, 2000, 21);
        fs::create_directory(destination());
    }
    // The system's own removal takes no paths this long on Windows.
    void TearDown() override { test::RemoveLongTree(destination()); }

    fs::path destination() const { return root_.path() / std::string(120, 'd'); }
    std::string DestinationText() const { return root_.Text() + std::string(120, 'd') + "\\"; }
    Result Add(const std::string& name) {
        library_.CreatePackage("");
        return library_.AddToPackage({source_.Text(), name, "", "BC"});
    }
    Result Write(const std::string& name) {
        return library_.ExtractFromPackage(DestinationText(), name);
    }
    // Only the asset and the author's own: none of the library's working items.
    void ExpectOnly(const Tree& expected) {
        Tree found = LongSnapshot(destination());
        EXPECT_EQ(found.size(), expected.size());
        for (const auto& [name, content] : expected) {
            const auto it = found.find(name);
            EXPECT_TRUE(it != found.end() && it->second == content) << name.substr(0, 80);
        }
    }
    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    test::TempFolder source_;
    test::TempFolder root_;
};

TEST_F(LongNameTest, NamesBeyondTheLimitAreRefusedAtTheAddWithTheLimit) {
    for (const std::string& name : {std::string(238, 'b'), std::string(255, 'b'),
                                    std::string(200, 'w') + "\\" + std::string(240, 'x')}) {
        const Result refused = Add(name);
        EXPECT_FALSE(refused.ok());
        EXPECT_NE(refused.message().find("longer than 237 characters"), std::string::npos)
            << refused.message();
        EXPECT_LE(refused.message().size(), 255u);
    }
    EXPECT_TRUE(LongSnapshot(destination()).empty());
}

TEST_F(LongNameTest, NamesWithinTheLimitAreWrittenRefusedAgainAndRetriedCleanly) {
    const std::string last(237, 'l');
    for (const std::string& folders : {std::string(), std::string(255, 'm') + "\\"}) {
        const std::string name = folders + last;
        const std::string prefix = folders.empty() ? last : std::string(255, 'm') + "/" + last;
        SCOPED_TRACE(name.size());
        // A write-out that fails leaves nothing; its retry writes the whole asset.
        ASSERT_TRUE(Add(name).ok());
        test::WriteFile(source_.path() / "sound" / "part3.bin", "changed since the add");
        EXPECT_FALSE(Write(name).ok());
        ExpectOnly({});
        ASSERT_TRUE(Add(name).ok());
        const Result written = Write(name);
        ASSERT_TRUE(written.ok()) << written.message();
        Tree expected = LongSnapshot(destination());
        const std::string asset = prefix + "/";
        ASSERT_EQ(expected.count(asset + "config.txt"), 1u);
        for (const auto& [file, content] : test::SourceFiles(source_.path())) {
            EXPECT_EQ(expected[asset + file], content) << file;
        }
        // Written again: refused, and nothing left of the attempt.
        ASSERT_TRUE(Add(name).ok());
        const Result again = Write(name);
        EXPECT_NE(again.message().find("Asset already exists"), std::string::npos)
            << again.message();
        ExpectOnly(expected);
        test::RemoveLongTree(destination());
        fs::create_directory(destination());
    }
}

// Beside a work-in-progress folder of the author's, the merge works at that length too.
TEST_F(LongNameTest, ALongNameMergesIntoTheAuthorsFolder) {
    const std::string name(237, 'l');
    ASSERT_FALSE(MakeFolder(destination() / name));
    ASSERT_FALSE(WriteNewFile(destination() / name / "notes.txt", "the author's"));
    ASSERT_TRUE(Add(name).ok());
    const Result written = Write(name);
    ASSERT_TRUE(written.ok()) << written.message();
    const Tree found = LongSnapshot(destination());
    EXPECT_EQ(found.at(name + "/notes.txt"), "the author's");
    EXPECT_EQ(found.count(name + "/config.txt"), 1u);
    EXPECT_EQ(found.size(), test::SourceFiles(source_.path()).size() + 3);
}

}  // namespace
}  // namespace velcomp
