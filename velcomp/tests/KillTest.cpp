// Write-outs killed at random moments and at chosen steps, each followed by a check of
// the library's two promises and by a retry that must give a complete asset.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/NumberIndex.h"
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

struct KillPlan {
    int timedKills;
    int stepKills;
    int files;
    std::size_t largestFile;
};

#ifdef _WIN32
constexpr KillPlan kPlan{30, 14, 120, 60000};
#else
// The plain build makes the full count; under the sanitizers a sample is enough.
constexpr KillPlan kPlan =
    test::kSanitized ? KillPlan{24, 16, 200, 50000} : KillPlan{160, 60, 200, 50000};
#endif

using test::kProbeName;
using test::Probe;
using test::ProgramFolder;
using test::SleepMicroseconds;

unsigned Seed() {
    return test::SeedFrom("VELCOMP_KILL_SEED", 20261208u);
}

std::vector<std::string> g_steps;

// The index of a step to die at: any, or one once the files are staged, where the asset
// is put in place and a kill is most likely to tear it.
long PickStep(const std::vector<std::string>& steps, bool placing, std::mt19937& random) {
    const auto staged = std::find(steps.begin(), steps.end(), std::string("config written"));
    const long first = placing ? static_cast<long>(staged - steps.begin()) : 0;
    return first + static_cast<long>(random() % (steps.size() - first));
}

// What a killed round left, before the retry.
enum class Left { kNothing, kPartOfAMerge, kCompleteAsset, kFinishedFirst };

class KillTest : public test::WriteOutFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 5150).ok());
        test::MakeSourceFolder(source_.path(), kPlan.files, kPlan.largestFile, 99);
        source = test::SourceFiles(source_.path());
    }

    fs::path Asset(int round) const { return work_.path() / std::to_string(round) / "Shop"; }
    std::string Destination(int round) const { return work_.Text() + std::to_string(round) + "\\"; }
    Tree MakeAuthorsFolder(int round) {
        test::WriteFile(Asset(round) / "textures" / "part1.bin", "the author's own part");
        test::WriteFile(Asset(round) / "textures" / "mine" / "sketch.txt", "sketch");
        test::WriteFile(Asset(round) / "notes.txt", "to do");
        return Snapshot(Asset(round));
    }
    std::vector<std::string> ProbeArgs(int round, const fs::path& added) const {
        return {(ProgramFolder() / kProbeName).string(),
                scratch_.Location(),
                source_.Text(),
                Destination(round),
                "Shop",
                added.string()};
    }

    // The steps of one write-out of the source, as this process goes through them.
    std::vector<std::string> ListSteps(int round, bool merge) {
        if (merge) {
            MakeAuthorsFolder(round);
        }
        g_steps.clear();
        SetWriteStepHook([](const char* step) { g_steps.push_back(step); });
        const Result written = Write(round);
        SetWriteStepHook(nullptr);
        EXPECT_TRUE(written.ok()) << written.message();
        return g_steps;
    }
    // How long the probe's write-out takes, as it measures itself: the median of three.
    long MeasureMicroseconds(int& round) {
        std::vector<long> times;
        for (int run = 0; run < 3; ++run, ++round) {
            const fs::path added = work_.path() / ("added-measure-" + std::to_string(run));
            Probe probe(ProbeArgs(round, added));
            EXPECT_EQ(probe.Wait(), 0);
            long took = 0;
            std::ifstream(added.string() + ".took") >> took;
            times.push_back(took);
        }
        std::sort(times.begin(), times.end());
        return times[1];
    }
    static void WaitFor(const fs::path& file) {
        for (int wait = 0; wait < 100000 && !fs::exists(file); ++wait) {
            SleepMicroseconds(100);
        }
    }
    Result Write(int round) {
        library_.CreatePackage("");
        Result result = library_.AddToPackage({source_.Text(), "Shop", "Retry", "BC"});
        return result ? library_.ExtractFromPackage(Destination(round), "Shop") : result;
    }

    // Checks what the killed probe left and the retry after it; says what was left.
    Left CheckRound(int round, int status, const Tree& authors) {
        const fs::path asset = Asset(round);
        EXPECT_TRUE(test::AuthorsWorkKept(authors, asset));
        EXPECT_TRUE(test::CompleteIfConfigured(source, authors, asset));
        const bool configured = fs::exists(asset / "config.txt");
        const Tree left = Snapshot(asset);
        Left what = status == 0                    ? Left::kFinishedFirst
                    : configured                   ? Left::kCompleteAsset
                    : left.size() > authors.size() ? Left::kPartOfAMerge
                                                   : Left::kNothing;
        EXPECT_TRUE(what != Left::kFinishedFirst || configured);

        const Result retried = Write(round);
        if (configured) {
            EXPECT_NE(retried.message().find("Asset already exists"), std::string::npos)
                << retried.message();
        } else {
            EXPECT_TRUE(retried.ok()) << retried.message();
        }
        ExpectFinished(asset, authors);
        return what;
    }
    // A complete asset, the author's work, and not one entry besides.
    void ExpectFinished(const fs::path& asset, const Tree& authors) {
        EXPECT_TRUE(fs::exists(asset / "config.txt"));
        EXPECT_TRUE(test::AuthorsWorkKept(authors, asset));
        EXPECT_TRUE(test::CompleteIfConfigured(source, authors, asset));
        for (const auto& [name, content] : Snapshot(asset)) {
            EXPECT_TRUE(name == "config.txt" || source.count(name) || authors.count(name) ||
                        content == test::kFolderMark)
                << "stray " << name;
        }
        EXPECT_EQ(test::Leftovers(asset.parent_path()), std::vector<std::string>{});
    }
};

TEST_F(KillTest, AKilledWriteOutNeverHarmsTheAuthorAndItsRetryCompletes) {
    const unsigned seed = Seed();
    std::mt19937 random(seed);
    int round = 0;
    const std::vector<std::string> stepLists[] = {ListSteps(round++, false),
                                                  ListSteps(round++, true)};
    const long duration = MeasureMicroseconds(round);
    int counts[4] = {};
    const int rounds = kPlan.timedKills + kPlan.stepKills;
    for (int kill = 0; kill < rounds && !HasFailure(); ++kill, ++round) {
        SCOPED_TRACE("kill " + std::to_string(kill) + " of seed " + std::to_string(seed));
        const bool merge = kill % 2 == 1;
        const Tree authors = merge ? MakeAuthorsFolder(round) : Tree{};
        const fs::path added = work_.path() / ("added-" + std::to_string(round));
        std::vector<std::string> args = ProbeArgs(round, added);
        const bool timed = kill < kPlan.timedKills;
        if (!timed) {
            args.push_back(std::to_string(1 + PickStep(stepLists[merge], kill % 4 < 2, random)));
        }
        Probe probe(args);
        ASSERT_TRUE(probe.started());
        if (timed) {
            WaitFor(added);
            SleepMicroseconds(static_cast<long>(random() % (duration + 1)));
            probe.Kill();
        }
        const int status = probe.Wait();
        ++counts[static_cast<int>(CheckRound(round, status, authors))];
    }
    std::printf(
        "kill test: seed %u, %d write-outs (%d stopped at random moments within %ld us, "
        "%d at random steps of %zu/%zu); %d killed, leaving: %d nothing, %d part of a "
        "merge, %d a complete asset; %d finished before the kill; every retry "
        "complete\n",
        seed, rounds, kPlan.timedKills, duration, kPlan.stepKills, stepLists[0].size(),
        stepLists[1].size(), counts[0] + counts[1] + counts[2], counts[0], counts[1], counts[2],
        counts[3]);
}

// Killed while it stores the index of asset numbers, between writing the new one and putting
// it in the old one's place: what is stored still reads, and the retry completes.
TEST_F(KillTest, AKillWhileTheIndexIsStoredLeavesOneThatReads) {
    int round = 0;
    const std::vector<std::string> steps = ListSteps(round++, false);
    int kills = 0;
    for (std::size_t step = 0; step < steps.size(); ++step) {
        if (steps[step] != "number index staged") {
            continue;
        }
        SCOPED_TRACE("killed at step " + std::to_string(step + 1));
        std::vector<std::string> args =
            ProbeArgs(round, work_.path() / ("added-" + std::to_string(round)));
        args.push_back(std::to_string(step + 1));
        Probe probe(args);
        ASSERT_TRUE(probe.started());
        EXPECT_NE(probe.Wait(), 0);
        ++kills;
        for (const auto& entry : fs::directory_iterator(settings_->StateFolder())) {
            NumberIndex stored;
            EXPECT_TRUE(entry.path().extension() == ".new" ||
                        ParseIndex(test::ReadFile(entry.path()), stored))
                << entry.path();
        }
        CheckRound(round++, 1, Tree{});
    }
    EXPECT_GE(kills, 1);
    std::printf("index kill test: %d write-outs killed while storing the index\n", kills);
}

}  // namespace
}  // namespace velcomp
