// The index of a content tree's asset numbers, as the author keeps working in the tree
// between Creates: copies from another PC, replaced folders, changes that hide behind a
// folder's time, and an index that is damaged, foreign or gone.
#include "velcomp/NumberIndex.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "velcomp/AssetNumbers.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::TempFolder;
using test::WriteFile;

constexpr std::int32_t kCreator = 424242;

std::int64_t Written(const fs::path& folder) {
    EntryKind kind = EntryKind::kMissing;
    std::int64_t written = 0;
    FolderWritten(folder, kind, written);
    return written;
}

// The last write of Scenery as the write-out's own last change there left it, before the
// index recorded it: the time that a coarse clock gives a change in the same tick.
fs::path g_scenery;
std::int64_t g_sceneryPlaced = 0;
void NotePlaced(const char* step) {
    if (std::string_view(step) == "placed") {
        g_sceneryPlaced = Written(g_scenery);
    }
}

class IndexedTreeTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, kCreator).ok());
        WriteFile(source_.path() / "main.obj", "o box\n");
        Plant("Scenery/Old", 1);
        Plant("Trains/Blue", 2);
        WriteFile(Custom() / "Trains" / "Sub" / "Wip" / "notes.txt", "to do");
    }
    fs::path Custom() const { return root_.path() / "World" / "Custom"; }
    // An asset of the creator's, as a copy from another PC brings it.
    void Plant(const std::string& relative, int number) {
        WriteFile(Custom() / relative / "config.txt",
                  "kind = scenery\r\nkuid = <kuid:424242:" + std::to_string(number) + ">\r\n");
    }

protected:
    // Makes an asset in Scenery and says which number it was given.
    std::int32_t Create(const std::string& name) {
        library_.CreatePackage("");
        EXPECT_TRUE(library_.AddToPackage({source_.Text(), name, "", "BC"}).ok());
        const Result written =
            library_.ExtractFromPackage(root_.Text() + "World\\Custom\\Scenery\\", name);
        EXPECT_TRUE(written.ok()) << written.message();
        const std::string kuid = test::ReadFile(Custom() / "Scenery" / name / "config.txt");
        const std::size_t colon = kuid.rfind(':');
        return colon == std::string::npos ? -1 : std::atoi(kuid.c_str() + colon + 1);
    }
    // How many assets carry each number, read from every config.txt under the tree.
    std::map<int, int> Carried() const {
        std::map<int, int> counts;
        for (const auto& entry : fs::recursive_directory_iterator(Custom())) {
            if (entry.path().filename() == "config.txt") {
                const std::string text = test::ReadFile(entry.path());
                const std::size_t colon = text.rfind(':');
                ++counts[std::atoi(text.c_str() + colon + 1)];
            }
        }
        return counts;
    }
    fs::path IndexFile() const {
        for (const auto& entry : fs::directory_iterator(settings_->StateFolder())) {
            if (entry.path().extension().empty()) {
                return entry.path();
            }
        }
        return {};
    }

    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_;
    TempFolder root_;
};

struct AuthorsChange {
    const char* what;
    std::function<void(IndexedTreeTest&, int next)> make;  // `next`: the counter's next number
};

const AuthorsChange kChanges[] = {
    {"copied into the category the last Create wrote in",
     [](IndexedTreeTest& t, int next) { t.Plant("Scenery/Copied", next); }},
    {"copied into a new category",
     [](IndexedTreeTest& t, int next) { t.Plant("Trains2/Copied", next); }},
    {"copied deep into a folder on the way",
     [](IndexedTreeTest& t, int next) { t.Plant("Trains/Sub/Deep/Copied", next); }},
    {"an asset replaced by another of the same name",
     [](IndexedTreeTest& t, int next) {
         fs::remove_all(t.Custom() / "Scenery" / "Old");
         t.Plant("Scenery/Old", next);
     }},
    {"a folder of the author's given a config.txt",
     [](IndexedTreeTest& t, int next) { t.Plant("Trains/Sub/Wip", next); }},
    {"copied into the category the last Create wrote in, within the tick of its own change",
     [](IndexedTreeTest& t, int next) {
         t.Plant("Scenery/Same Tick", next);
         SetWritten(t.Custom() / "Scenery", g_sceneryPlaced);
     }},
    {"copied in within the tick of the clock in which the index last listed the folder",
     [](IndexedTreeTest& t, int next) {
         const fs::path trains = t.Custom() / "Trains";
         const std::int64_t listed = Written(trains);
         t.Plant("Trains/Copied", next);
         SetWritten(trains, listed);
     }},
};

// Each change brings the number that the counter would give next, and the one after it.
TEST_F(IndexedTreeTest, ANumberCarriedByAnAssetCopiedInSinceTheLastCreateIsNeverGiven) {
    g_scenery = Custom() / "Scenery";
    SetWriteStepHook(NotePlaced);
    int round = 0;
    for (const AuthorsChange& change : kChanges) {
        SCOPED_TRACE(change.what);
        const std::int32_t last = Create("Made " + std::to_string(round++));
        change.make(*this, last + 1);
        Plant("Flora/Also " + std::to_string(round), last + 2);
        const std::int32_t next = Create("Made " + std::to_string(round++));
        EXPECT_GT(next, last + 2);
        EXPECT_EQ(Carried()[next], 1);
    }
    SetWriteStepHook(nullptr);
}

// However the stored index is damaged, or whoever else's it is, the next Create walks the
// tree again and stores one that can be read.
TEST_F(IndexedTreeTest, ADamagedOrForeignIndexIsRebuilt) {
    const std::function<void(std::string&)> damages[] = {
        [](std::string& bytes) { bytes.resize(bytes.size() - 3); },  // the last addition torn
        [](std::string& bytes) { bytes.resize(bytes.size() / 2); },
        [](std::string& bytes) { bytes[bytes.size() / 3] ^= 0x10; },
        [](std::string& bytes) { bytes.clear(); },
        [](std::string& bytes) { bytes = std::string(4096, '\xFF'); },
        [](std::string& bytes) {
            NumberIndex foreign;
            ParseIndex(bytes, foreign);
            foreign.tree += foreign.tree;  // another tree's, under this tree's file name
            foreign.root.children.clear();
            bytes = FormatIndex(foreign);
        },
    };
    int round = 0;
    for (const auto& damage : damages) {
        SCOPED_TRACE("damage " + std::to_string(round));
        const std::int32_t last = Create("Made " + std::to_string(round++));
        const fs::path file = IndexFile();
        std::string bytes = test::ReadFile(file);
        damage(bytes);
        WriteFile(file, bytes);
        Plant("Scenery/Copied " + std::to_string(round), last + 1);
        const std::int32_t next = Create("Made " + std::to_string(round++));
        EXPECT_EQ(Carried()[next], 1);
        NumberIndex stored;
        StoredAdditions additions;
        EXPECT_TRUE(ParseIndex(test::ReadFile(IndexFile()), stored, &additions));
        EXPECT_FALSE(additions.cut);  // no later addition is lost behind a torn one
    }
}

// A tree whose folders all last changed an hour ago, as an author's usually did.
class AgedTreeTest : public IndexedTreeTest {
protected:
    void SetUp() override {
        IndexedTreeTest::SetUp();
        for (int i = 0; i < 10; ++i) {
            Plant("Trains/Old " + std::to_string(i), 100 + i);
        }
        Age();
    }
    void Age() {
        const std::int64_t hourAgo = FileTimeNow() - 3600 * kFileTimePerSecond;
        for (const auto& entry : fs::recursive_directory_iterator(Custom())) {
            SetWritten(entry.path(), hourAgo);
        }
        SetWritten(Custom(), hourAgo);
    }
    RefreshCost Refreshed() {
        TreeNumbers numbers(*settings_, Custom());
        std::int32_t number = 1;
        EXPECT_TRUE(numbers.Settle(kCreator, number).ok());
        return numbers.cost();
    }
};

TEST_F(AgedTreeTest, OnlyWhatChangedIsListedAndRead) {
    const auto additions = [this]() {
        NumberIndex stored;
        StoredAdditions added;
        EXPECT_TRUE(ParseIndex(test::ReadFile(IndexFile()), stored, &added));
        return added.applied;
    };
    const RefreshCost first = Refreshed();  // the root, Scenery, Trains, Trains\Sub and its Wip
    EXPECT_EQ(first.listed, 5u);
    EXPECT_EQ(first.read, 12u);
    const RefreshCost unchanged = Refreshed();
    EXPECT_EQ(unchanged.listed + unchanged.read, 0u);
    EXPECT_EQ(additions(), 0u);
    for (int i = 0; i < 10; ++i) {
        Plant("Scenery/New " + std::to_string(i), 200 + i);
    }
    const RefreshCost copied = Refreshed();
    EXPECT_EQ(copied.listed, 1u);
    EXPECT_EQ(copied.read, 10u);
    // What was found is added to the stored index, not stored whole, and holds: the next
    // Create reads nothing again, and neither does the one after the library's own write-out.
    EXPECT_EQ(additions(), 11u);  // Scenery, listed again, and its 10 new assets
    Age();
    Refreshed();
    const std::size_t before = additions();
    Create("Mine");
    EXPECT_EQ(additions(), before + 1);  // the write-out's record
    const RefreshCost afterCreate = Refreshed();
    EXPECT_EQ(afterCreate.listed + afterCreate.read, 0u);
}

// What makes the index distrust every folder's time: each time a change hides behind one.
TEST_F(AgedTreeTest, EveryFolderIsListedWhereTimesCannotBeTrusted) {
    const std::function<void(NumberIndex&)> traps[] = {
        [](NumberIndex& index) { index.saved += 3600 * kFileTimePerSecond; },  // clock put back
        [](NumberIndex& index) { index.origin.volume ^= 1; },  // the tree is on another disk
        [](NumberIndex& index) { index.origin.id ^= 1; },      // another folder at its path
    };
    int round = 0;
    for (const auto& trap : traps) {
        SCOPED_TRACE("trap " + std::to_string(round));
        NumberIndex index;
        Refresh(index, Custom());
        const fs::path trains = Custom() / "Trains";
        const std::int64_t listed = Written(trains);
        Plant("Trains/Hidden " + std::to_string(round), 300 + round);
        SetWritten(trains, listed);
        trap(index);
        const RefreshCost cost = Refresh(index, Custom());
        EXPECT_GE(cost.listed, 5u);
        EXPECT_EQ(NumbersOf(index, kCreator).count(300 + round), 1u);
        ++round;
    }
}

}  // namespace
}  // namespace velcomp
