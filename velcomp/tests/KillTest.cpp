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
#include "velcomp/WriteSteps.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/tests/ScratchSettings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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
const char kProbeName[] = "velcomp_write_probe.exe";

// An argument as the C runtime reads it back: backslashes before a quote are doubled.
std::string Quoted(const std::string& arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        backslashes = c == '\\' ? backslashes + 1 : 0;
        quoted += c == '"' ? std::string(backslashes + 1, '\\') + "\"" : std::string(1, c);
    }
    return quoted + std::string(backslashes, '\\') + "\"";
}

// The probe in a process of its own, stopped as the task manager stops a program.
class Probe {
public:
    explicit Probe(const std::vector<std::string>& args) {
        std::string command;
        for (const std::string& arg : args) {
            command += Quoted(arg) + " ";
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
        }
    }
    ~Probe() {
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    bool started() const { return process_ != nullptr; }
    void Kill() { TerminateProcess(process_, 9); }
    // The exit status; 9 for a killed probe.
    int Wait() {
        WaitForSingleObject(process_, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        return static_cast<int>(status);
    }

private:
    HANDLE process_ = nullptr;
};

fs::path ProgramFolder() {
    wchar_t name[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    return fs::path(name).parent_path();
}

void SleepMicroseconds(long microseconds) {
    Sleep(static_cast<DWORD>(microseconds / 1000));
}
#else
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELCOMP_SANITIZED 1
#endif
#endif
#ifdef VELCOMP_SANITIZED
// The plain build makes the full count; under the sanitizers a sample is enough.
constexpr KillPlan kPlan{24, 16, 200, 50000};
#else
constexpr KillPlan kPlan{160, 60, 200, 50000};
#endif
const char kProbeName[] = "velcomp_write_probe";

class Probe {
public:
    explicit Probe(const std::vector<std::string>& args) : pid_(::fork()) {
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    bool started() const { return pid_ > 0; }
    void Kill() { ::kill(pid_, SIGKILL); }
    // The exit status; 9 for a killed probe.
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status);
    }

private:
    pid_t pid_;
};

fs::path ProgramFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

void SleepMicroseconds(long microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}
#endif

unsigned Seed() {
    const char* given = std::getenv("VELCOMP_KILL_SEED");
    return given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : 20261208u;
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

class KillTest : public ::testing::Test {
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
            EXPECT_NE(retried.message().find("An asset is already there"), std::string::npos)
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

    Tree source;
    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_{test::FastTempBase()};
    TempFolder work_{test::FastTempBase()};
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

}  // namespace
}  // namespace velcomp
