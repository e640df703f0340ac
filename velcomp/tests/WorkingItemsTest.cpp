// Items of the author's with the names that the library gives its working items beside an
// asset, and source folders that hold such names: nothing of the author's is removed or
// taken for a lock, and no write-out is blocked for good.
#include <gtest/gtest.h>

#include <algorithm>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/tests/ProbeProcess.h"
#include "velcomp/tests/ScratchSettings.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::AuthorsWorkKept;
using test::Leftovers;
using test::Snapshot;
using test::TempFolder;
using test::Tree;
using test::WriteFile;

using test::Contains;

bool IsReadOnly(const fs::path& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

class WorkingItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 31).ok());
        test::MakeSourceFolder(source_.path(), 12, 3000, 5);
        WriteFile(Destination() / "Shop" / "notes.txt", "the author's work in progress");
    }

    fs::path Destination() const { return destination_.path(); }
    Result Write(const std::string& name, const TempFolder& source) {
        library_.CreatePackage("");
        const Result added = library_.AddToPackage({source.Text(), name, "", "BC"});
        return added ? library_.ExtractFromPackage(destination_.Text(), name) : added;
    }
    Result Write(const std::string& name = "Shop") { return Write(name, source_); }
    void ExpectComplete(const fs::path& asset, const Tree& authors) {
        EXPECT_TRUE(fs::exists(asset / "config.txt"));
        EXPECT_TRUE(test::CompleteIfConfigured(test::SourceFiles(source_.path()), authors, asset));
    }
    // The author's items named like working items: a folder holding a file, a read-only
    // file, a folder with the second lock name.
    Tree MakeLookalikes() {
        WriteFile(Destination() / "Shop.velcomp-staging" / "mine.txt", "mine");
        WriteFile(Destination() / "Shop.velcomp-lock", "a lock of mine");
        fs::permissions(Destination() / "Shop.velcomp-lock", fs::perms::owner_write,
                        fs::perm_options::remove);
        WriteFile(Destination() / "Shop.1.velcomp-lock" / "keep.txt", "kept");
        return Snapshot(Destination());
    }
    std::vector<std::string> LookalikeNames() const {
        return {"Shop.1.velcomp-lock", "Shop.velcomp-lock", "Shop.velcomp-staging"};
    }

    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_;
    TempFolder destination_;
};

TEST_F(WorkingItemsTest, TheAuthorsLookalikesAreNeitherRemovedNorTakenForALock) {
    const Tree authors = MakeLookalikes();
    const Result written = Write();
    ASSERT_TRUE(written.ok()) << written.message();
    ExpectComplete(Destination() / "Shop", {{"notes.txt", "the author's work in progress"}});
    EXPECT_TRUE(AuthorsWorkKept(authors, Destination()));
    EXPECT_TRUE(IsReadOnly(Destination() / "Shop.velcomp-lock"));
    EXPECT_EQ(Leftovers(Destination()), LookalikeNames());

    // A failed write-out beside them, and its retry, leave them as well.
    fs::remove_all(Destination() / "Shop");
    WriteFile(Destination() / "Shop" / "notes.txt", "the author's work in progress");
    library_.CreatePackage("");
    ASSERT_TRUE(library_.AddToPackage({source_.Text(), "Shop", "", "BC"}).ok());
    test::WriteFile(source_.path() / "body" / "part0.bin", "changed since the add");
    EXPECT_FALSE(library_.ExtractFromPackage(destination_.Text(), "Shop").ok());
    EXPECT_EQ(Leftovers(Destination()), LookalikeNames());
    ASSERT_TRUE(Write().ok());
    EXPECT_TRUE(AuthorsWorkKept(authors, Destination()));
    fs::permissions(Destination() / "Shop.velcomp-lock", fs::perms::owner_write,
                    fs::perm_options::add);
}

TEST_F(WorkingItemsTest, WhenEveryNameIsTakenTheWriteOutSaysWhichAndRemovesNothing) {
    for (const char* suffix : {".velcomp-lock", ".velcomp-staging"}) {
        SCOPED_TRACE(suffix);
        for (const char* slot : {"", ".1", ".2", ".3"}) {
            WriteFile(Destination() / (std::string("Shop") + slot + suffix) / "mine.txt", slot);
        }
        const Tree before = Snapshot(Destination());
        const Result refused = Write();
        EXPECT_FALSE(refused.ok());
        EXPECT_TRUE(Contains(refused.message(), std::string("Shop") + suffix + "\";"))
            << refused.message();
        EXPECT_TRUE(Contains(refused.message(), "please rename or move those items"))
            << refused.message();
        EXPECT_LE(refused.message().size(), kMaxMessageLength);
        EXPECT_EQ(Snapshot(Destination()), before);
        // Once the author has moved one of them, the write-out goes ahead.
        fs::rename(Destination() / (std::string("Shop.2") + suffix), Destination() / "Moved");
        const Result written = Write();
        ASSERT_TRUE(written.ok()) << written.message();
        for (const char* slot : {"", ".1", ".3"}) {
            EXPECT_EQ(
                test::ReadFile(Destination() / (std::string("Shop") + slot + suffix) / "mine.txt"),
                slot);
        }
        fs::remove_all(Destination());
        fs::create_directories(Destination());
        WriteFile(Destination() / "Shop" / "notes.txt", "the author's work in progress");
    }
}

TEST_F(WorkingItemsTest, ASourceHoldingSuchNamesIsWrittenLikeAnyOther) {
    TempFolder shops;
    WriteFile(shops.path() / "Corner.velcomp-staging" / "tex.png", "the template's texture");
    WriteFile(shops.path() / "Corner.velcomp-lock", "the template's file");
    WriteFile(shops.path() / "Corner.1.velcomp-staging" / "mark", "not the library's mark");
    const Tree template_ = Snapshot(shops.path());
    const Result shopsWritten = Write("Shops", shops);
    ASSERT_TRUE(shopsWritten.ok()) << shopsWritten.message();
    EXPECT_TRUE(AuthorsWorkKept(template_, Destination() / "Shops"));

    // An asset written into that folder beside them leaves them as they are.
    const Result corner = Write("Shops\\Corner");
    ASSERT_TRUE(corner.ok()) << corner.message();
    ExpectComplete(Destination() / "Shops" / "Corner", {});
    EXPECT_TRUE(AuthorsWorkKept(template_, Destination() / "Shops"));
}

std::vector<std::string> g_steps;

// A write-out killed beside the author's lookalikes works under the next names; the next
// write-out finds its items there and finishes the asset.
TEST_F(WorkingItemsTest, AWriteOutKilledBesideThemIsRecoveredAndTheyStay) {
    // The steps of the same write-out, in a copy of the folder, up to its second move.
    TempFolder copy;
    fs::copy(Destination(), copy.path() / "mirror", fs::copy_options::recursive);
    library_.CreatePackage("");
    ASSERT_TRUE(library_.AddToPackage({source_.Text(), "Shop", "", "BC"}).ok());
    g_steps.clear();
    SetWriteStepHook([](const char* step) { g_steps.push_back(step); });
    const Result listed = library_.ExtractFromPackage(copy.Text() + "mirror\\", "Shop");
    SetWriteStepHook(nullptr);
    ASSERT_TRUE(listed.ok()) << listed.message();
    const auto first = std::find(g_steps.begin(), g_steps.end(), "moved");
    const auto second = std::find(first + 1, g_steps.end(), "moved");
    ASSERT_NE(second, g_steps.end());

    const Tree authors = MakeLookalikes();
    test::Probe probe({(test::ProgramFolder() / test::kProbeName).string(), scratch_.Location(),
                       source_.Text(), destination_.Text(), "Shop",
                       (copy.path() / "added").string(),
                       std::to_string(second - g_steps.begin() + 1)});
    ASSERT_TRUE(probe.started());
    ASSERT_EQ(probe.Wait(), 9);
    EXPECT_FALSE(fs::exists(Destination() / "Shop" / "config.txt"));
    EXPECT_GT(Leftovers(Destination()).size(), LookalikeNames().size());

    const Result retried = Write();
    ASSERT_TRUE(retried.ok()) << retried.message();
    ExpectComplete(Destination() / "Shop", {{"notes.txt", "the author's work in progress"}});
    EXPECT_TRUE(AuthorsWorkKept(authors, Destination()));
    EXPECT_EQ(Leftovers(Destination()), LookalikeNames());
    fs::permissions(Destination() / "Shop.velcomp-lock", fs::perms::owner_write,
                    fs::perm_options::add);
}

// A staging folder made but not yet marked, or no longer marked, when its write-out dies:
// the lock that the dead write-out left names it, and the next write-out removes it.
TEST_F(WorkingItemsTest, AStagingFolderThatAKillLeftUnmarkedGoesWithTheNextWriteOut) {
    library_.CreatePackage("");
    ASSERT_TRUE(library_.AddToPackage({source_.Text(), "Shop", "", "BC"}).ok());
    g_steps.clear();
    SetWriteStepHook([](const char* step) { g_steps.push_back(step); });
    TempFolder listing;
    ASSERT_TRUE(library_.ExtractFromPackage(listing.Text(), "Shop").ok());
    SetWriteStepHook(nullptr);
    int round = 0;
    for (const char* step : {"staging folder made", "staging unmarked"}) {
        SCOPED_TRACE(step);
        const auto at = std::find(g_steps.begin(), g_steps.end(), step);
        ASSERT_NE(at, g_steps.end());
        const std::string destination = destination_.Text() + std::to_string(++round) + "\\";
        test::Probe probe({(test::ProgramFolder() / test::kProbeName).string(), scratch_.Location(),
                           source_.Text(), destination, "Shop",
                           (listing.path() / ("added" + std::to_string(round))).string(),
                           std::to_string(at - g_steps.begin() + 1)});
        ASSERT_TRUE(probe.started());
        ASSERT_EQ(probe.Wait(), 9);
        const fs::path folder = Destination() / std::to_string(round);
        ASSERT_TRUE(fs::is_empty(folder / "Shop.velcomp-staging"));
        const Result retried = library_.ExtractFromPackage(destination, "Shop");
        EXPECT_TRUE(retried.ok() ||
                    retried.message().find("Asset already exists") != std::string::npos)
            << retried.message();
        EXPECT_TRUE(fs::exists(folder / "Shop" / "config.txt"));
        EXPECT_EQ(Leftovers(folder), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace velcomp
