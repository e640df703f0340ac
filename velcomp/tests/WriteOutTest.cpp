// The write-out against things that change under it: the source, a second writer, links.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/os/FileSystem.h"
#include "velcomp/tests/ScratchSettings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::AuthorsWorkKept;
using test::CompleteIfConfigured;
using test::Leftovers;
using test::ReadFile;
using test::Snapshot;
using test::TempFolder;
using test::Tree;
using test::WriteFile;

using test::Contains;

class WriteOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 4242).ok());
        WriteFile(source_.path() / "config.txt", "kind = scenery\r\n");
        WriteFile(source_.path() / "main.obj", "o box\n");
        WriteFile(source_.path() / "textures" / "wall.bmp", std::string(5000, 'w'));
        WriteFile(source_.path() / "textures" / "roof.bmp", std::string(3000, 'r'));
    }

    fs::path AssetFolder() const { return destination_.path() / "Shop"; }
    Result Add(Library& library) {
        library.CreatePackage("");
        return library.AddToPackage({source_.Text(), "Shop", "A shop", "BC"});
    }
    Result Write(Library& library) {
        return library.ExtractFromPackage(destination_.Text(), "Shop");
    }
    // The author's work-in-progress folder of the same name, before any write-out.
    Tree MakeAuthorsFolder() {
        WriteFile(AssetFolder() / "textures" / "wall.bmp", "the author's own wall");
        WriteFile(AssetFolder() / "notes.txt", "to do");
        return Snapshot(AssetFolder());
    }
    void ExpectOnlyAuthorsWork(const Tree& authors) {
        EXPECT_EQ(Snapshot(AssetFolder()), authors);
        EXPECT_EQ(Leftovers(destination_.path()), std::vector<std::string>{});
    }

    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_;
    TempFolder destination_;
};

// Whatever becomes of a source file after the add, the author's file of that name stays.
TEST_F(WriteOutTest, ASourceFileThatChangedAfterTheAddFailsAndKeepsTheAuthorsFile) {
    const fs::path wall = source_.path() / "textures" / "wall.bmp";
    const std::vector<std::pair<const char*, void (*)(const fs::path&)>> changes = {
        {"removed", [](const fs::path& file) { fs::remove(file); }},
        {"made a folder",
         [](const fs::path& file) {
             fs::remove(file);
             fs::create_directory(file);
         }},
        {"rewritten", [](const fs::path& file) { WriteFile(file, "a new wall"); }},
#ifndef _WIN32
        {"made a pipe",
         [](const fs::path& file) {
             fs::remove(file);
             ::mkfifo(file.c_str(), 0644);
         }},
#endif
    };
    const Tree authors = MakeAuthorsFolder();
    for (const auto& [change, apply] : changes) {
        SCOPED_TRACE(change);
        WriteFile(wall, std::string(5000, 'w'));
        ASSERT_TRUE(Add(library_).ok());
        fs::remove_all(wall);
        apply(wall);
        const Result written = Write(library_);
        EXPECT_FALSE(written.ok());
        EXPECT_TRUE(Contains(written.message(), "wall.bmp")) << written.message();
        EXPECT_TRUE(Contains(written.message(), "has changed or gone")) << written.message();
        ExpectOnlyAuthorsWork(authors);
        fs::remove_all(wall);
    }
}

TEST_F(WriteOutTest, AnAuthorsFolderGetsThePackageWithoutLosingAnything) {
    const Tree authors = MakeAuthorsFolder();
    ASSERT_TRUE(Add(library_).ok());
    const Result written = Write(library_);
    ASSERT_TRUE(written.ok()) << written.message();
    EXPECT_TRUE(AuthorsWorkKept(authors, AssetFolder()));
    EXPECT_TRUE(CompleteIfConfigured(test::SourceFiles(source_.path()), authors, AssetFolder()));
    EXPECT_EQ(ReadFile(AssetFolder() / "textures" / "roof.bmp"), std::string(3000, 'r'));
    EXPECT_EQ(Leftovers(destination_.path()), std::vector<std::string>{});
}

TEST_F(WriteOutTest, AFailedWriteLeavesNothingAndTheRetryCompletes) {
    ASSERT_TRUE(Add(library_).ok());
    fs::remove(source_.path() / "textures" / "roof.bmp");  // the last file copied fails
    EXPECT_FALSE(Write(library_).ok());
    EXPECT_TRUE(Snapshot(destination_.path()).empty());

    ASSERT_TRUE(Add(library_).ok());
    ASSERT_TRUE(Write(library_).ok());
    EXPECT_EQ(Snapshot(AssetFolder()).count("config.txt"), 1u);
    EXPECT_TRUE(CompleteIfConfigured(test::SourceFiles(source_.path()), {}, AssetFolder()));
    EXPECT_EQ(Leftovers(destination_.path()), std::vector<std::string>{});
}

// Two write-outs of one name at once: at most one succeeds, and the folder holds either
// a complete asset or only what the author had.
TEST_F(WriteOutTest, TwoWritersOfOneNameNeverMakeAnIncompleteAsset) {
    constexpr int kRounds = 24;
    test::MakeSourceFolder(source_.path(), 60, 40000, 7);
    const Tree source = test::SourceFiles(source_.path());
    int wins = 0;
    int refusedBusy = 0;
    int refusedThere = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        fs::remove_all(AssetFolder());
        const Tree authors = round % 2 == 0 ? Tree{} : MakeAuthorsFolder();
        const auto otherSettings = scratch_.Open();
        Library other(*otherSettings);
        ASSERT_TRUE(Add(library_).ok());
        ASSERT_TRUE(Add(other).ok());
        std::promise<void> start;
        std::shared_future<void> go = start.get_future().share();
        auto first = std::async(std::launch::async, [&] {
            go.wait();
            return Write(library_);
        });
        auto second = std::async(std::launch::async, [&] {
            go.wait();
            return Write(other);
        });
        start.set_value();
        const Result results[] = {first.get(), second.get()};
        int succeeded = 0;
        for (const Result& result : results) {
            succeeded += result.ok();
            refusedBusy += Contains(result.message(), "is under way");
            refusedThere += Contains(result.message(), "Asset already exists");
        }
        wins += succeeded;
        EXPECT_EQ(succeeded, 1) << results[0].message() << " / " << results[1].message();
        EXPECT_TRUE(AuthorsWorkKept(authors, AssetFolder()));
        EXPECT_TRUE(CompleteIfConfigured(source, authors, AssetFolder()));
        EXPECT_EQ(Leftovers(destination_.path()), std::vector<std::string>{});
    }
    std::printf(
        "race: %d rounds, %d successes, losers: %d refused while the other ran, %d "
        "found the asset already there\n",
        kRounds, wins, refusedBusy, refusedThere);
}

#ifdef _WIN32
using UnixName = char*(__cdecl*)(const wchar_t*);

// Wine's way to the host system's name of a path; absent on Windows itself.
UnixName WineUnixName() {
    return reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// Runs a program of the host system on two paths and waits until `done` holds: Wine
// cannot wait for such a program itself.
bool RunOnHost(const char* program, const fs::path& a, const fs::path& b,
               bool (*done)(const fs::path&)) {
    const UnixName unixName = WineUnixName();
    char* const first = unixName(a.c_str());
    char* const second = unixName(b.c_str());
    std::string command = std::string(program) + " \"" + first + "\" \"" + second + "\"";
    HeapFree(GetProcessHeap(), 0, first);
    HeapFree(GetProcessHeap(), 0, second);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int wait = 0; wait < 200 && !done(b); ++wait) {
        Sleep(10);
    }
    return done(b);
}

bool Present(const fs::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Under Wine a link is one of the host system, made by its own ln; Windows makes its own.
bool MakeLink(const fs::path& target, const fs::path& at, bool folder) {
    if (WineUnixName() != nullptr) {
        return RunOnHost("Z:\\bin\\ln -s", target, at, Present);
    }
    using Link = BOOLEAN(WINAPI*)(const wchar_t*, const wchar_t*, DWORD);
    const auto link = reinterpret_cast<Link>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkW")));
    const DWORD directoryFlag = 1;
    return link != nullptr && link(at.c_str(), target.c_str(), folder ? directoryFlag : 0);
}

void RemoveLink(const fs::path& at) {
    // Wine neither removes a host system's folder link nor leaves its target alone.
    if (WineUnixName() != nullptr) {
        RunOnHost("Z:\\bin\\rm -f", at, at, [](const fs::path& p) { return !Present(p); });
    } else {
        RemoveDirectoryW(at.c_str());  // a folder link goes as a folder, its target stays
    }
}
// Wine shows a program a link to a file as the file itself, so only folder links count.
constexpr bool kFileLinksAreSeen = false;
#else
bool MakeLink(const fs::path& target, const fs::path& at, bool folder) {
    std::error_code error;
    folder ? fs::create_directory_symlink(target, at, error)
           : fs::create_symlink(target, at, error);
    return !error;
}
void RemoveLink(const fs::path& at) {
    fs::remove(at);
}
constexpr bool kFileLinksAreSeen = true;
#endif

TEST_F(WriteOutTest, ALinkInTheSourceFailsTheAddAndNamesIt) {
    const fs::path outside = destination_.path() / "outside";
    WriteFile(outside / "secret.txt", "not part of the template");
    const struct {
        const char* name;
        fs::path target;
        bool folder;
    } links[] = {{"linked", outside, true},
                 {"loop", source_.path(), true},
                 {"linked.txt", outside / "secret.txt", false}};
    for (const auto& link : links) {
        if (!link.folder && !kFileLinksAreSeen) {
            continue;
        }
        SCOPED_TRACE(link.name);
        const fs::path at = source_.path() / "textures" / link.name;
        if (!MakeLink(link.target, at, link.folder)) {
            GTEST_SKIP() << "this system makes no links here";
        }
        library_.CreatePackage("");
        const Result added = library_.AddToPackage({source_.Text(), "Shop", "", "BC"});
        EXPECT_FALSE(added.ok());
        EXPECT_TRUE(Contains(added.message(), link.name)) << added.message();
        EXPECT_TRUE(Contains(added.message(), "is a link")) << added.message();
        RemoveLink(at);
    }
}

// The folder itself swapped for a link to another with files of the same names.
TEST_F(WriteOutTest, ASourceFolderSwappedForALinkAfterTheAddIsNotFollowed) {
    const fs::path outside = destination_.path() / "outside";
    WriteFile(outside / "wall.bmp", std::string(5000, 'w'));
    WriteFile(outside / "roof.bmp", "not part of the template");
    ASSERT_TRUE(Add(library_).ok());
    const fs::path textures = source_.path() / "textures";
    fs::rename(textures, source_.path() / "kept");
    if (!MakeLink(outside, textures, true)) {
        GTEST_SKIP() << "this system makes no links here";
    }
    const Result written = Write(library_);
    RemoveLink(textures);
    fs::rename(source_.path() / "kept", textures);
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(Contains(written.message(), "textures\" has changed or gone")) << written.message();
    EXPECT_FALSE(fs::exists(AssetFolder()));
}

// Changed to the same size, its last write put back as `touch -r` does: still changed.
TEST_F(WriteOutTest, ASourceFileChangedWithItsSizeAndTimeKeptIsStillSeen) {
    const fs::path wall = source_.path() / "textures" / "wall.bmp";
    ASSERT_TRUE(Add(library_).ok());
    test::RewriteKeepingTime(wall, std::string(5000, 'W'));
    const Result written = Write(library_);
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(Contains(written.message(), "has changed or gone")) << written.message();
    EXPECT_FALSE(fs::exists(AssetFolder()));
}

// Names that Windows reserves, or that it would take for another in the same folder: the
// add refuses them, naming them, rather than a write-out failing for ever.
TEST_F(WriteOutTest, SourceNamesThatWindowsCannotKeepAreRefusedAtTheAdd) {
    const std::pair<const char*, const char*> names[] = {
        {"nul", "reserves for a device"},      {"con.txt", "reserves for a device"},
        {"COM1.bmp", "reserves for a device"}, {"b.", "ends in a dot or a space"},
        {"b ", "ends in a dot or a space"},
    };
    for (const auto& [name, reason] : names) {
        SCOPED_TRACE(name);
        const fs::path file = source_.path() / "textures" / name;
        ASSERT_FALSE(WriteNewFile(file, "x"));  // the library's own call takes any name
        const Result added = Add(library_);
        EXPECT_FALSE(added.ok());
        EXPECT_TRUE(Contains(added.message(), std::string(name) + "\" cannot be copied"))
            << added.message();
        EXPECT_TRUE(Contains(added.message(), reason)) << added.message();
        ASSERT_FALSE(RemoveEntry(file));
    }
#ifndef _WIN32
    WriteFile(source_.path() / "textures" / "Wall.bmp", "a second wall");
    const Result twins = Add(library_);
    EXPECT_TRUE(Contains(twins.message(), "differ only in case")) << twins.message();
    fs::remove(source_.path() / "textures" / "Wall.bmp");
    WriteFile(source_.path() / "CONFIG.TXT", "kind = other\r\n");
    EXPECT_TRUE(Contains(Add(library_).message(), "differ only in case"));
#endif
}

TEST_F(WriteOutTest, ATemplateConfigWithAByteOrderMarkIsRead) {
    WriteFile(source_.path() / "config.txt", "\xEF\xBB\xBFkind = scenery\r\n");
    ASSERT_TRUE(Add(library_).ok());
    ASSERT_TRUE(Write(library_).ok());
    EXPECT_EQ(ReadFile(AssetFolder() / "config.txt").rfind("kind = scenery\r\n", 0), 0u);
}

#ifdef _WIN32
// Windows knows a long folder name also by a short one; writing through it would put the
// new asset into the author's other folder.
TEST_F(WriteOutTest, AShortNameOfAnotherFolderIsRefused) {
    const fs::path authors = destination_.path() / "Shopping Centre WIP";
    WriteFile(authors / "plan.txt", "mine");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(authors.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName = TextFromPath(fs::path(shortPath).filename());
    ASSERT_NE(shortName, "Shopping Centre WIP");

    library_.CreatePackage("");
    ASSERT_TRUE(library_.AddToPackage({source_.Text(), shortName, "", "BC"}).ok());
    const Result written = library_.ExtractFromPackage(destination_.Text(), shortName);
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(Contains(written.message(), "Windows takes it for another name of the folder")) << written.message();
    EXPECT_EQ(Snapshot(authors), (Tree{{"plan.txt", "mine"}}));
}

// The system copies the read-only mark; the copy must not keep it, and a failed write-out
// must still be able to remove it.
TEST_F(WriteOutTest, AReadOnlySourceFileGivesAWritableCopyAndNoDebris) {
    const fs::path main = source_.path() / "main.obj";
    SetFileAttributesW(main.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Add(library_).ok());
    fs::remove(source_.path() / "textures" / "roof.bmp");
    EXPECT_FALSE(Write(library_).ok());
    EXPECT_TRUE(Snapshot(destination_.path()).empty());

    WriteFile(source_.path() / "textures" / "roof.bmp", "roof");
    ASSERT_TRUE(Add(library_).ok());
    ASSERT_TRUE(Write(library_).ok());
    EXPECT_EQ(GetFileAttributesW((AssetFolder() / "main.obj").c_str()) & FILE_ATTRIBUTE_READONLY,
              0u);
    SetFileAttributesW(main.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

}  // namespace
}  // namespace velcomp
