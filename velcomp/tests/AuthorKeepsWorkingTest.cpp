// A write-out into the author's folder killed in the middle of its merge, after which the
// author goes on working in that folder: adds files, edits a file that the killed run had
// moved in, makes folders, one inside a folder that the killed run had moved in. Then they
// press Create again. Every item of the author's must survive byte for byte, the retry must
// complete the asset, and its note must name the files of ours that it left for having
// changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
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

#ifdef _WIN32
constexpr int kRounds = 30;
#else
constexpr int kRounds = test::kSanitized ? 30 : 100;
#endif
constexpr int kFiles = 48;

std::vector<std::string> g_steps;

// What the author does to a file that the killed run moved in.
enum class Edit { kRewrite, kSameSizeTimeSetBack };

class AuthorKeepsWorkingTest : public test::WriteOutFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 808).ok());
        test::MakeSourceFolder(source_.path(), kFiles, 4000, 11);
        source = test::SourceFiles(source_.path());
    }

    fs::path Asset(int round) const { return work_.path() / std::to_string(round) / "Shop"; }
    std::string Destination(int round) const { return work_.Text() + std::to_string(round) + "\\"; }
    Tree MakeAuthorsFolder(int round) {
        WriteFile(Asset(round) / "textures" / "part1.bin", "the author's own part");
        WriteFile(Asset(round) / "notes.txt", "to do");
        return Snapshot(Asset(round));
    }
    Result Write(int round) {
        library_.CreatePackage("");
        Result result = library_.AddToPackage({source_.Text(), "Shop", "Retry", "BC"});
        return result ? library_.ExtractFromPackage(Destination(round), "Shop") : result;
    }
    // The steps of a merge, from its record up to the move of config.txt: where it dies.
    std::pair<long, long> MergeSteps(int round) {
        MakeAuthorsFolder(round);
        g_steps.clear();
        SetWriteStepHook([](const char* step) { g_steps.push_back(step); });
        const Result written = Write(round);
        SetWriteStepHook(nullptr);
        EXPECT_TRUE(written.ok()) << written.message();
        const auto journal = std::find(g_steps.begin(), g_steps.end(), "journal written");
        const auto config = std::find(g_steps.rbegin(), g_steps.rend(), "moved");
        return {journal - g_steps.begin(), g_steps.rend() - config - 1};
    }
    int KillAt(int round, long step) {
        test::Probe probe({(test::ProgramFolder() / test::kProbeName).string(), scratch_.Location(),
                           source_.Text(), Destination(round), "Shop",
                           (work_.path() / ("added-" + std::to_string(round))).string(),
                           std::to_string(step + 1)});
        return probe.started() ? probe.Wait() : -1;
    }

    // The author's work after the kill: what the run left is compared to what was theirs.
    // Returns every item of the author's as it must stay, and the file of ours edited.
    Tree KeepWorking(int round, const Tree& authors, std::mt19937& random, fs::path& edited) {
        const fs::path asset = Asset(round);
        WriteFile(asset / "textures" / "mine.png", "drawn after the kill " + std::to_string(round));
        WriteFile(asset / "drafts" / "plan.txt", "a new folder of mine");
        std::vector<std::string> brought;
        for (const auto& [name, content] : Snapshot(asset)) {
            if (authors.count(name) == 0 && source.count(name) != 0) {
                brought.push_back(name);
            }
        }
        edited.clear();
        std::vector<std::string> files;
        std::copy_if(brought.begin(), brought.end(), std::back_inserter(files),
                     [&](const std::string& name) { return source.at(name) != test::kFolderMark; });
        if (!files.empty()) {
            edited = fs::u8path(files[random() % files.size()]);
            EditFile(asset / edited,
                     random() % 2 == 0 ? Edit::kRewrite : Edit::kSameSizeTimeSetBack);
        }
        for (const std::string& name : brought) {
            if (source.at(name) == test::kFolderMark) {
                WriteFile(asset / fs::u8path(name) / "extra" / "inside.txt",
                          "mine, in your folder");
                break;
            }
        }
        Tree now = Snapshot(asset);
        for (auto it = now.begin(); it != now.end();) {
            const bool ours = authors.count(it->first) == 0 && source.count(it->first) != 0 &&
                              fs::u8path(it->first) != edited;
            it = ours ? now.erase(it) : std::next(it);
        }
        return now;
    }
    static void EditFile(const fs::path& file, Edit edit) {
        const std::string before = test::ReadFile(file);
        if (edit == Edit::kRewrite) {
            WriteFile(file, before + " and the author's addition");
            return;
        }
        // Same size, and the last-write time put back as `touch -r` would.
        std::string changed = before;
        changed[0] = static_cast<char>(changed[0] ^ 0x5A);
        test::RewriteKeepingTime(file, changed);
    }
};

TEST_F(AuthorKeepsWorkingTest, EveryItemOfTheAuthorsSurvivesTheRetryAndTheNoteNamesWhatStayed) {
    const unsigned seed = test::SeedFrom("VELCOMP_AUTHOR_SEED", 20261209u);
    std::mt19937 random(seed);
    int round = 0;
    const auto [first, last] = MergeSteps(round++);
    ASSERT_LT(first, last);
    int edits = 0;
    int named = 0;
    for (int kill = 0; kill < kRounds && !HasFailure(); ++kill, ++round) {
        SCOPED_TRACE("round " + std::to_string(kill) + " of seed " + std::to_string(seed));
        const Tree authors = MakeAuthorsFolder(round);
        ASSERT_EQ(KillAt(round, first + static_cast<long>(random() % (last - first))), 9);
        fs::path edited;
        const Tree authorsNow = KeepWorking(round, authors, random, edited);

        const Result retried = Write(round);
        ASSERT_TRUE(retried.ok()) << retried.message();
        EXPECT_EQ(library_.LastNote(), retried.message()) << "the note that Kitwright shows";
        const fs::path asset = Asset(round);
        EXPECT_TRUE(test::AuthorsWorkKept(authorsNow, asset));
        EXPECT_TRUE(fs::exists(asset / "config.txt"));
        EXPECT_TRUE(test::CompleteIfConfigured(source, authorsNow, asset));
        for (const auto& [name, content] : Snapshot(asset)) {
            EXPECT_TRUE(name == "config.txt" || source.count(name) || authorsNow.count(name))
                << "stray " << name;
        }
        EXPECT_EQ(test::Leftovers(asset.parent_path()), std::vector<std::string>{});
        edits += !edited.empty();
        if (!edited.empty()) {
            const bool names =
                retried.message().find(QuotePath(fs::path(edited).make_preferred())) !=
                std::string::npos;
            EXPECT_TRUE(names) << retried.message();
            named += names;
        }
    }
    std::printf(
        "author keeps working: seed %u, %d write-outs killed in their merge (steps %ld to %ld), "
        "then the author's work; %d edits of a moved file, %d named by the retry; every item "
        "of the author's kept and every retry complete\n",
        seed, kRounds, first, last, edits, named);
}

}  // namespace
}  // namespace velcomp
