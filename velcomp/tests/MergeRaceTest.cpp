// The author at work in their folder while a write-out merges the package into it: folders
// and files appear at the package's paths, or a file just moved in goes. The write-out then
// fails, naming the entry, and takes back what it moved; config.txt never stands over a
// package with an entry missing, and the retry completes the asset around the author's items.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <thread>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/os/FileSystem.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/tests/ProbeProcess.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/WriteOutFixture.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::Snapshot;
using test::TempFolder;
using test::Tree;
using test::WriteFile;

struct RacePlan {
    int prompted;    // the author acts at a chosen move
    int unprompted;  // the author acts from a thread of their own, whenever it runs
};
#ifdef _WIN32
constexpr RacePlan kPlan{30, 6};
constexpr unsigned kLongestPauseMicroseconds = 20000;
#else
constexpr RacePlan kPlan = test::kSanitized ? RacePlan{60, 10} : RacePlan{200, 40};
constexpr unsigned kLongestPauseMicroseconds = 800;
#endif

enum class Action { kFolder, kFile, kFolderWithFile, kRemoveMoved, kFileInMovedFolder };
constexpr int kActions = 5;

// What the author does at the chosen move, from the write-out's own thread.
struct Prompt {
    fs::path asset;
    const Tree* source = nullptr;
    const Tree* authors = nullptr;
    int atMove = 0;
    Action action = Action::kFolder;
    unsigned pick = 0;
    int moves = 0;
    std::string target;  // what the author made or removed
    std::string inside;  // a file of the author's made inside a folder that was moved in
};
Prompt* g_prompt = nullptr;

// The package's paths of one kind that are not in the asset folder yet.
std::vector<std::string> Missing(const Prompt& prompt, bool folders) {
    std::vector<std::string> missing;
    for (const auto& [name, content] : *prompt.source) {
        if ((content == test::kFolderMark) == folders &&
            !fs::exists(prompt.asset / fs::u8path(name))) {
            missing.push_back(name);
        }
    }
    return missing;
}

// The files or folders of ours in the asset folder: there, and not the author's.
std::vector<std::string> Moved(const Prompt& prompt, bool folders) {
    std::vector<std::string> moved;
    for (const auto& [name, content] : Snapshot(prompt.asset)) {
        if (prompt.authors->count(name) == 0 && (content == test::kFolderMark) == folders) {
            moved.push_back(name);
        }
    }
    return moved;
}

void Act(Prompt& prompt) {
    if (prompt.action == Action::kFileInMovedFolder) {
        const std::vector<std::string> folders = Moved(prompt, true);
        if (!folders.empty()) {
            prompt.inside = folders[prompt.pick % folders.size()] + "/made-meanwhile.txt";
            WriteFile(prompt.asset / fs::u8path(prompt.inside), "the author's, in our folder");
        }
        prompt.action = Action::kFile;  // and one at a path still to come, which fails the merge
    }
    const bool removes = prompt.action == Action::kRemoveMoved;
    const bool folders =
        prompt.action == Action::kFolder || prompt.action == Action::kFolderWithFile;
    std::vector<std::string> targets = removes ? Moved(prompt, false) : Missing(prompt, folders);
    if (targets.empty() && !removes) {
        prompt.action = Action::kFile;  // every folder is in place: a file, then
        targets = Missing(prompt, false);
    }
    if (targets.empty()) {
        return;
    }
    prompt.target = targets[prompt.pick % targets.size()];
    const fs::path at = prompt.asset / fs::u8path(prompt.target);
    switch (prompt.action) {
        case Action::kFolder:
            fs::create_directories(at);
            break;
        case Action::kFile:
        case Action::kFileInMovedFolder:
            WriteFile(at, "the author's, made during the merge");
            break;
        case Action::kFolderWithFile:
            WriteFile(at / "made-meanwhile.txt", "the author's");
            break;
        case Action::kRemoveMoved:
            fs::remove(at);
            break;
    }
}

// Whether a message quotes the path `target`, or a folder on its way.
bool NamesPartOf(const std::string& message, const std::string& target) {
    for (const fs::path& part : fs::u8path(target)) {
        if (message.find(part.u8string() + "\"") != std::string::npos) {
            return true;
        }
    }
    return false;
}

void ActAtMove(const char* step) {
    if (g_prompt != nullptr && std::string(step) == "moved" &&
        ++g_prompt->moves == g_prompt->atMove) {
        Act(*g_prompt);
    }
}

class MergeRaceTest : public test::WriteOutFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 616).ok());
        test::MakeSourceFolder(source_.path(), 24, 2000, 3);
        source = test::SourceFiles(source_.path());
    }
    void TearDown() override {
        SetWriteStepHook(nullptr);
        g_prompt = nullptr;
    }

    fs::path Asset(int round) const { return work_.path() / std::to_string(round) / "Shop"; }
    Tree MakeAuthorsFolder(int round) {
        WriteFile(Asset(round) / "textures" / "part1.bin", "the author's own part");
        WriteFile(Asset(round) / "notes.txt", "to do");
        return Snapshot(Asset(round));
    }
    Result Write(int round) {
        library_.CreatePackage("");
        Result result = library_.AddToPackage({source_.Text(), "Shop", "", "BC"});
        return result ? library_.ExtractFromPackage(work_.Text() + std::to_string(round) + "\\",
                                                    "Shop")
                      : result;
    }
    // How many moves a merge into the author's folder makes, config.txt's included.
    int CountMoves(int round) {
        MakeAuthorsFolder(round);
        Prompt counting;
        g_prompt = &counting;
        SetWriteStepHook(ActAtMove);
        EXPECT_TRUE(Write(round).ok());
        g_prompt = nullptr;
        return counting.moves;
    }
    // What every round must show: the author's items whole, and config.txt only over a
    // complete package; then a retry that completes it.
    void CheckAndRetry(int round, const Tree& authorsNow) {
        const fs::path asset = Asset(round);
        EXPECT_TRUE(test::AuthorsWorkKept(authorsNow, asset));
        EXPECT_TRUE(test::CompleteIfConfigured(source, authorsNow, asset));
        EXPECT_EQ(test::Leftovers(asset.parent_path()), std::vector<std::string>{});
        if (!fs::exists(asset / "config.txt")) {
            const Result retried = Write(round);
            EXPECT_TRUE(retried.ok()) << retried.message();
            EXPECT_TRUE(test::CompleteIfConfigured(source, authorsNow, asset));
        }
        EXPECT_TRUE(fs::exists(asset / "config.txt"));
    }
};

TEST_F(MergeRaceTest, AnEntryThatAppearsOrGoesDuringTheMergeFailsItByName) {
    const unsigned seed = test::SeedFrom("VELCOMP_RACE_SEED", 20261210u);
    std::mt19937 random(seed);
    int round = 0;
    const int moves = CountMoves(round++);
    ASSERT_GT(moves, 2);
    int failed[kActions] = {};
    int inside = 0;
    SetWriteStepHook(ActAtMove);
    for (int race = 0; race < kPlan.prompted && !HasFailure(); ++race, ++round) {
        SCOPED_TRACE("race " + std::to_string(race) + " of seed " + std::to_string(seed));
        const Tree authors = MakeAuthorsFolder(round);
        Prompt prompt;
        prompt.asset = Asset(round);
        prompt.source = &source;
        prompt.authors = &authors;
        prompt.atMove = 1 + static_cast<int>(random() % (moves - 2));  // config.txt's still to come
        prompt.action = static_cast<Action>(random() % kActions);
        prompt.pick = random();
        g_prompt = &prompt;
        const Result written = Write(round);
        inside += !prompt.inside.empty();
        g_prompt = nullptr;
        ASSERT_FALSE(prompt.target.empty())
            << static_cast<int>(prompt.action) << " at " << prompt.atMove << " of " << prompt.moves;
        EXPECT_FALSE(written.ok()) << prompt.target;
        EXPECT_TRUE(NamesPartOf(written.message(), prompt.target)) << written.message();
        failed[static_cast<int>(prompt.action)] += !written.ok();
        Tree authorsNow = Snapshot(Asset(round));  // the author's, and nothing of ours left
        for (const auto& [name, content] : authorsNow) {
            EXPECT_TRUE(authors.count(name) || name.rfind(prompt.target, 0) == 0 ||
                        prompt.target.rfind(name, 0) == 0 || prompt.inside.rfind(name, 0) == 0)
                << "left behind: " << name;
        }
        if (!prompt.inside.empty()) {
            EXPECT_EQ(authorsNow[prompt.inside], "the author's, in our folder");
        }
        SetWriteStepHook(nullptr);
        CheckAndRetry(round, authorsNow);
        SetWriteStepHook(ActAtMove);
    }
    std::printf(
        "merge race, prompted: seed %u, %d write-outs with the author at one of %d moves; "
        "failed naming it: %d for a folder made, %d for a file made (%d of them with a file "
        "made inside a folder just moved in), %d for a folder with a file, %d for a file of "
        "ours removed\n",
        seed, kPlan.prompted, moves, failed[0], failed[1], inside, failed[2], failed[3]);
}

// The author's thread makes folders and files at the package's paths for as long as the
// write-out runs: whoever is first at each path keeps it.
TEST_F(MergeRaceTest, AnAuthorWorkingAtTheSameTimeNeverGetsAnIncompleteAsset) {
    int completed = 0;
    for (int round = 0; round < kPlan.unprompted && !HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Tree authors = MakeAuthorsFolder(round);
        std::atomic<bool> done{false};
        Tree made;
        std::thread author([&, pauses = std::mt19937(round)]() mutable {
            for (const auto& [name, content] : source) {
                test::SleepMicroseconds(static_cast<long>(pauses() % kLongestPauseMicroseconds));
                const fs::path at = Asset(round) / fs::u8path(name);
                const bool folder = content == test::kFolderMark;
                const std::string mine = "the author's " + name;
                // Made only where nothing stands: whoever is first keeps the path.
                if (!done && !(folder ? MakeFolder(at) : WriteNewFile(at, mine))) {
                    made[name] = folder ? content : mine;
                }
            }
        });
        const Result written = Write(round);
        done = true;
        author.join();
        completed += written.ok();
        Tree authorsNow = authors;
        for (const auto& [name, content] : made) {
            authorsNow[name] = content;
        }
        CheckAndRetry(round, authorsNow);
    }
    std::printf(
        "merge race, unprompted: %d write-outs raced by the author's thread, %d "
        "completed, the others failed and were retried\n",
        kPlan.unprompted, completed);
}

}  // namespace
}  // namespace velcomp
