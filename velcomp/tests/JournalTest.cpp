// The merge's record read back exactly, whatever its names hold, and its take-back: only
// what is still as the merge left it goes.
#include <gtest/gtest.h>

#include "velcomp/merge/Journal.h"
#include "velcomp/MessageText.h"
#include "velcomp/merge/TakeBack.h"
#include "velcomp/os/FileSystem.h"
#include "velcomp/tests/AssetChecks.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::Snapshot;
using test::TempFolder;
using test::Tree;
using test::WriteFile;

MergePlan SamplePlan(const std::vector<std::string>& names) {
    MergePlan plan;
    plan.moves.push_back({"textures", EntryKind::kFolder, {0, 0, 11, 12}});
    for (std::size_t i = 0; i < names.size(); ++i) {
        const FileStamp stamp{i + 1, -static_cast<std::int64_t>(i), 77, 1000 + i};
        plan.moves.push_back({fs::u8path("textures/" + names[i]), EntryKind::kFile, stamp, 0});
    }
    plan.moves.push_back({fs::u8path(names.back()), EntryKind::kFile, {5, 6, 7, 8}});
    return plan;
}

void ExpectSameMoves(const MergePlan& read, const MergePlan& written) {
    ASSERT_EQ(read.moves.size(), written.moves.size());
    for (std::size_t i = 0; i < read.moves.size(); ++i) {
        EXPECT_EQ(read.moves[i].path, written.moves[i].path) << i;
        EXPECT_EQ(read.moves[i].kind, written.moves[i].kind) << i;
        EXPECT_EQ(read.moves[i].stamp, written.moves[i].stamp) << i;
        EXPECT_EQ(read.moves[i].carrier, written.moves[i].carrier) << i;
    }
}

// A name may hold a line break, a colon, digits or what looks like a record line.
TEST(JournalTest, NamesComeBackExactlyWhateverTheyHold) {
    const std::vector<std::string> names = {
        "x\nnotes.txt", "12:34", "p 0 5", " lead and end ", "Caf\xC3\xA9 \xE6\x9D\xB1",
        "\n",           "last"};
    MergePlan plan = SamplePlan(names);
    std::string text = JournalText(plan);
    text += PlacedLine(0, 4242) + PlacedLine(plan.moves.size() - 1, -3);
    MergePlan read;
    ASSERT_TRUE(ParseJournal(text, read));
    plan.moves.front().stamp.changed = 4242;
    plan.moves.back().stamp.changed = -3;
    ExpectSameMoves(read, plan);
    EXPECT_TRUE(read.moves.front().placed);
    EXPECT_FALSE(read.moves[1].placed);
    EXPECT_TRUE(read.moves.back().placed);
}

// A kill can cut only the last line short, while it is added; damage elsewhere is refused.
TEST(JournalTest, AnUnfinishedLastLineIsPassedOverAndDamageRefused) {
    const MergePlan plan = SamplePlan({"a", "b"});
    const std::string whole = JournalText(plan);
    const std::string placed = PlacedLine(0, 99);
    for (std::size_t cut = 1; cut < placed.size(); ++cut) {
        MergePlan read;
        ASSERT_TRUE(ParseJournal(whole + placed.substr(0, cut), read)) << cut;
        EXPECT_FALSE(read.moves.front().placed) << cut;
    }
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        MergePlan read;
        ParseJournal(whole.substr(0, cut), read);  // must neither crash nor read past the end
    }
    MergePlan read;
    EXPECT_FALSE(ParseJournal("velcomp merge 1\ntextures\n", read));
    EXPECT_FALSE(ParseJournal(whole + "p 1 5\n", read)) << "a move brought along is not placed";
    EXPECT_FALSE(ParseJournal(whole + "p 9 5\n", read));
    EXPECT_FALSE(ParseJournal(whole + "m f 7 1 1 1 1 1:x\n", read)) << "a carrier ahead";
    EXPECT_FALSE(ParseJournal(whole + "m f -1 1 1 1 1 9:x\n", read)) << "a name past the end";
}

class TakeBackTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(asset()); }

    // Stages `files`, plans their merge into the asset folder and makes its moves.
    MergePlan Merge(const Tree& files) {
        for (const auto& [name, content] : files) {
            WriteFile(staged() / fs::u8path(name), content);
        }
        MergePlan plan;
        EXPECT_TRUE(PlanMerge(staged(), asset(), plan).ok());
        for (PlannedMove& move : plan.moves) {
            if (move.carrier < 0) {
                EXPECT_FALSE(MoveWithoutReplacing(staged() / move.path, asset() / move.path));
            }
        }
        return plan;
    }
    // The change time of each placed move, as the merge records it after the move.
    void Record(MergePlan& plan) {
        for (PlannedMove& move : plan.moves) {
            EntryInfo now;
            if (move.carrier < 0 && !Identify(asset() / move.path, now)) {
                move.stamp.changed = now.stamp.changed;
                move.placed = true;
            }
        }
    }
    std::vector<fs::path> TakeBackAll(const MergePlan& plan) {
        std::vector<fs::path> changed;
        const Result undone = TakeBack(asset(), staged(), plan, changed);
        EXPECT_TRUE(undone.ok()) << undone.message();
        return changed;
    }
    fs::path staged() const { return root_.path() / "staged"; }
    fs::path asset() const { return root_.path() / "Shop"; }

    TempFolder root_;
};

TEST_F(TakeBackTest, OnlyWhatIsAsTheMergeLeftItGoes) {
    WriteFile(asset() / "notes.txt", "the author's");
    Tree ours = {{"main.obj", "o box"},
                 {"mesh.obj", "o mesh"},
                 {"textures/wall.bmp", "wall"},
                 {"textures/roof.bmp", "roof"},
                 {"sound/horn.wav", "horn"}};
#ifndef _WIN32
    ours["x\nnotes.txt"] = "ours, whose name once read as the author's notes.txt";
#endif
    MergePlan plan = Merge(ours);
    Record(plan);
    WriteFile(asset() / "main.obj", "o box, edited");  // changed: stays
    fs::remove(asset() / "mesh.obj");                  // replaced: stays
    WriteFile(asset() / "mesh.obj", "o mine");
    WriteFile(asset() / "textures" / "mine.png", "the author's own");  // the folder stays
    const std::vector<fs::path> changed = TakeBackAll(plan);

    EXPECT_EQ(Snapshot(asset()), (Tree{{"notes.txt", "the author's"},
                                       {"main.obj", "o box, edited"},
                                       {"mesh.obj", "o mine"},
                                       {"textures", test::kFolderMark},
                                       {"textures/mine.png", "the author's own"}}));
    EXPECT_EQ(changed, (std::vector<fs::path>{"mesh.obj", "main.obj"}));
    const std::string note = ChangedFilesNote(changed);
    EXPECT_NE(note.find("\"main.obj\""), std::string::npos) << note;
    EXPECT_NE(note.find("\"mesh.obj\""), std::string::npos) << note;
}

// The change time that a move sets was not recorded when its process died: the file is
// ours while its ID, size and last write are, and a change of size still tells an edit.
// However many files stayed, the note fits a message and says how many it could not name.
TEST(ChangedFilesNoteTest, NamesWhatFitsAndCountsTheRest) {
    std::vector<fs::path> changed;
    changed.reserve(40);
    for (int i = 0; i < 40; ++i) {
        changed.push_back(fs::path("textures") / ("part" + std::to_string(i) + ".bin"));
    }
    const std::string note = ChangedFilesNote(changed);
    EXPECT_LE(note.size(), kMaxMessageLength);
    EXPECT_NE(note.find("part0.bin\""), std::string::npos) << note;
    EXPECT_NE(note.find(" more."), std::string::npos) << note;
    EXPECT_EQ(ChangedFilesNote({}), "");
}

TEST_F(TakeBackTest, AMoveWhoseRecordWasCutShortIsToldByTheRestOfItsStamp) {
    const MergePlan plan = Merge({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}, {"c.txt", "cccc"}});
    WriteFile(asset() / "b.txt", "bbbb and more");
    EXPECT_EQ(TakeBackAll(plan), std::vector<fs::path>{"b.txt"});
    EXPECT_EQ(Snapshot(asset()), (Tree{{"b.txt", "bbbb and more"}}));
}

// A take-back run twice, as after a kill in the middle of the first, ends the same.
TEST_F(TakeBackTest, ATakeBackCanRunAgain) {
    MergePlan plan = Merge({{"textures/wall.bmp", "wall"}, {"main.obj", "o"}});
    Record(plan);
    TakeBackAll(plan);
    EXPECT_EQ(TakeBackAll(plan), std::vector<fs::path>{});
    EXPECT_TRUE(Snapshot(asset()).empty());
}

}  // namespace
}  // namespace velcomp
