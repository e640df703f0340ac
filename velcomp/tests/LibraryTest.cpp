#include "velcomp/Library.h"

#include <gtest/gtest.h>

#include <set>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

constexpr std::int32_t kKuid = 424242;

// Every entry below `folder`, relative, with '/' separators.
std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        names.insert(it->path().lexically_relative(folder).generic_string());
    }
    return names;
}

ConfigFile ReadConfig(const fs::path& file) {
    ConfigFile config;
    const Result read = ReadConfigFile(file, config);
    EXPECT_TRUE(read.ok()) << read.message();
    return config;
}

std::string Value(const ConfigFile& config, std::string_view key) {
    const std::string* value = config.Find(key);
    return value != nullptr ? *value : "<missing>";
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, kKuid).ok());
        WriteFile(source_.path() / "config.txt",
                  "# A building\r\nkind = scenery\r\nmesh = main.obj\r\n");
        WriteFile(source_.path() / "main.obj", "o box\n");
        WriteFile(source_.path() / "textures" / "wall.bmp", std::string(70000, 'w'));
        library_.CreatePackage("");
    }

    Result Add(std::string_view name, std::string_view description = "A shop",
               std::optional<std::string_view> classCode = "BC") {
        sourceText_ = source_.Text();
        return library_.AddToPackage({sourceText_, name, description, classCode});
    }
    Result Extract(std::string_view name) {
        return library_.ExtractFromPackage(Destination(), name);
    }
    std::string Destination() const { return destination_.Text() + "Scenery\\"; }
    fs::path AssetFolder(const std::string& name) const {
        return destination_.path() / "Scenery" / name;
    }

    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_;
    TempFolder destination_;
    std::string sourceText_;
};

TEST_F(LibraryTest, WritesEveryFileAndAConfigWithTheTemplateSettingsAndIdentity) {
    ASSERT_TRUE(Add("Shop").ok());
    const Result extracted = Extract("Shop");
    ASSERT_TRUE(extracted.ok()) << extracted.message();

    const fs::path asset = AssetFolder("Shop");
    EXPECT_EQ(Listing(asset),
              (std::set<std::string>{"config.txt", "main.obj", "textures", "textures/wall.bmp"}));
    EXPECT_EQ(ReadFile(asset / "textures" / "wall.bmp"), std::string(70000, 'w'));
    const ConfigFile config = ReadConfig(asset / "config.txt");
    EXPECT_EQ(Value(config, "kind"), "scenery");
    EXPECT_EQ(Value(config, "mesh"), "main.obj");
    EXPECT_EQ(Value(config, "kuid"), "<kuid:424242:1>");
    EXPECT_EQ(Value(config, "username"), "Shop");
    EXPECT_EQ(Value(config, "description"), "A shop");
    EXPECT_EQ(Value(config, "category-class"), "BC");
    EXPECT_EQ(ReadFile(asset / "config.txt").rfind("# A building\r\n", 0), 0u);
}

// The host shows the asset's own name; the folders above it only sort it.
TEST_F(LibraryTest, NestedNameCreatesEveryMissingFolder) {
    ASSERT_TRUE(Add("A\\B").ok());
    ASSERT_TRUE(Extract("A\\B").ok());
    EXPECT_TRUE(fs::is_regular_file(AssetFolder("A") / "B" / "config.txt"));
    EXPECT_EQ(Value(ReadConfig(AssetFolder("A") / "B" / "config.txt"), "username"), "B");
}

TEST_F(LibraryTest, DescriptionRoundTripsThroughConfigTxt) {
    const std::string description = "Line \"one\"\r\nC:\\Path\\\nCaf\xE9 \xFF\x80\ttab\rend\\";
    ASSERT_TRUE(Add("Shop", description).ok());
    ASSERT_TRUE(Extract("Shop").ok());
    EXPECT_EQ(Value(ReadConfig(AssetFolder("Shop") / "config.txt"), "description"), description);
}

TEST_F(LibraryTest, SourceWithoutConfigAndNoClassCodeGetsIdentityOnly) {
    fs::remove(source_.path() / "config.txt");
    ASSERT_TRUE(Add("Blue", "Repaint", std::nullopt).ok());
    ASSERT_TRUE(Extract("Blue").ok());
    const ConfigFile config = ReadConfig(AssetFolder("Blue") / "config.txt");
    EXPECT_EQ(config.EntryCount(), 3u);
    EXPECT_EQ(config.Find("category-class"), nullptr);
    EXPECT_EQ(Value(config, "kuid"), "<kuid:424242:1>");
}

TEST_F(LibraryTest, EachFailedAddSaysWhy) {
    const std::string missing = source_.Text() + "missing\\";
    const std::string file = source_.Text() + "main.obj";
    const std::string source = source_.Text();
    const std::pair<AssetRequest, std::string> cases[] = {
        {{missing, "Shop", "", "BC"}, "The source folder \"" + missing + "\" does not exist."},
        {{file, "Shop", "", "BC"}, "The source \"" + file + "\" is not a folder."},
        {{source, "..\\Shop", "", "BC"},
         "The asset name \"..\\Shop\" cannot be used: it holds the folder name . or .., which "
         "points elsewhere."},
        {{source, "LPT1", "", "BC"},
         "The asset name \"LPT1\" cannot be used: it holds a device name that Windows reserves "
         "(CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9, also with a superscript 1, 2 or "
         "3)."},
    };
    for (const auto& [request, message] : cases) {
        const Result added = library_.AddToPackage(request);
        EXPECT_FALSE(added.ok());
        EXPECT_EQ(added.message(), message);
    }
    WriteFile(source_.path() / "config.txt", "kind = two words\r\n");
    EXPECT_EQ(Add("Shop").message(),
              "The config.txt of \"" + source +
                  "\" cannot be used: line 1: a value with spaces, "
                  "quotes, backslashes, '#' or non-ASCII text must be quoted");

    library_.ClosePackage();
    EXPECT_EQ(Add("Shop").message(), "There is no open package to add the asset to.");
}

// Each says why there is no identifier, and none takes an asset number.
TEST_F(LibraryTest, AddFailsWithoutAUsableCreatorIdentifierAndTakesNoNumber) {
    scratch_.WriteRaw(kCreatorKuidValue, true, std::string(4, '\0'));
    EXPECT_NE(Add("Shop").message().find("is not a positive whole number. Set it again with "
                                         "Nameplate.exe"),
              std::string::npos)
        << Add("Shop").message();
    const test::ScratchSettings empty;
    const auto none = empty.Open();
    Library fresh(*none);
    fresh.CreatePackage("");
    EXPECT_EQ(fresh.AddToPackage({source_.Text(), "Shop", "", "BC"}).message(),
              "No creator identifier is set. Set one with Nameplate.exe, then try again.");
    ASSERT_TRUE(SetCreatorKuid(*settings_, kKuid).ok());
    ASSERT_TRUE(Add("Shop").ok());
    ASSERT_TRUE(Extract("Shop").ok());
    EXPECT_EQ(Value(ReadConfig(AssetFolder("Shop") / "config.txt"), "kuid"), "<kuid:424242:1>");
}

TEST_F(LibraryTest, AssetNumbersAreUniqueAcrossPackagesAndRestarts) {
    std::set<std::string> kuids;
    for (const char* name : {"One", "Two"}) {
        library_.ClosePackage();
        library_.CreatePackage("");
        ASSERT_TRUE(Add(name).ok());
        ASSERT_TRUE(Extract(name).ok());
        kuids.insert(Value(ReadConfig(AssetFolder(name) / "config.txt"), "kuid"));
    }
    const auto restartedSettings = scratch_.Open();
    Library restarted(*restartedSettings);
    restarted.CreatePackage("");
    ASSERT_TRUE(restarted.AddToPackage({source_.Text(), "Three", "", "BC"}).ok());
    ASSERT_TRUE(restarted.ExtractFromPackage(Destination(), "Three").ok());
    kuids.insert(Value(ReadConfig(AssetFolder("Three") / "config.txt"), "kuid"));
    EXPECT_EQ(kuids,
              (std::set<std::string>{"<kuid:424242:1>", "<kuid:424242:2>", "<kuid:424242:3>"}));
}

TEST_F(LibraryTest, AnAuthorsFilesAreKept) {
    WriteFile(AssetFolder("Shop") / "main.obj", "author's own mesh");
    WriteFile(AssetFolder("Shop") / "notes.txt", "mine");
    ASSERT_TRUE(Add("Shop").ok());
    ASSERT_TRUE(Extract("Shop").ok());
    EXPECT_EQ(ReadFile(AssetFolder("Shop") / "main.obj"), "author's own mesh");
    EXPECT_EQ(ReadFile(AssetFolder("Shop") / "notes.txt"), "mine");
    EXPECT_TRUE(fs::is_regular_file(AssetFolder("Shop") / "textures" / "wall.bmp"));
    EXPECT_TRUE(fs::is_regular_file(AssetFolder("Shop") / "config.txt"));
}

TEST_F(LibraryTest, AnExistingAssetIsLeftUntouched) {
    WriteFile(AssetFolder("Shop") / "config.txt", "kind = mine\r\n");
    ASSERT_TRUE(Add("Shop").ok());
    EXPECT_FALSE(Extract("Shop").ok());
    EXPECT_EQ(Listing(AssetFolder("Shop")), (std::set<std::string>{"config.txt"}));
    EXPECT_EQ(ReadFile(AssetFolder("Shop") / "config.txt"), "kind = mine\r\n");
}

// Breaks the write part-way and checks that nothing of it stays, the author's files aside.
class FailedWriteTest : public LibraryTest {
protected:
    void ExpectNothingWritten(const std::string& name, const std::set<std::string>& before) {
        const Result extracted = Extract(name);
        EXPECT_FALSE(extracted.ok());
        EXPECT_EQ(Listing(destination_.path()), before) << extracted.message();
    }
};

TEST_F(FailedWriteTest, SourceFileGoneSinceTheAdd) {
    WriteFile(source_.path() / "z.txt", "last");
    ASSERT_TRUE(Add("A\\B").ok());
    fs::remove(source_.path() / "z.txt");
    ExpectNothingWritten("A\\B", {});
}

TEST_F(FailedWriteTest, SourceFileTurnedIntoAFolder) {
    ASSERT_TRUE(Add("Shop").ok());
    fs::remove(source_.path() / "textures" / "wall.bmp");
    fs::create_directory(source_.path() / "textures" / "wall.bmp");
    ExpectNothingWritten("Shop", {});
}

TEST_F(FailedWriteTest, DestinationFolderIsAFile) {
    WriteFile(AssetFolder("A"), "a file");
    ASSERT_TRUE(Add("A\\B").ok());
    ExpectNothingWritten("A\\B", {"Scenery", "Scenery/A"});
    EXPECT_EQ(ReadFile(AssetFolder("A")), "a file");
}

TEST_F(FailedWriteTest, AuthorsFileWhereTheAssetNeedsAFolder) {
    WriteFile(AssetFolder("Shop") / "textures", "author's file");
    ASSERT_TRUE(Add("Shop").ok());
    ExpectNothingWritten("Shop", {"Scenery", "Scenery/Shop", "Scenery/Shop/textures"});
    EXPECT_EQ(ReadFile(AssetFolder("Shop") / "textures"), "author's file");
}

#ifdef _WIN32
TEST_F(FailedWriteTest, SourceFileLockedByAnotherProgram) {
    ASSERT_TRUE(Add("Shop").ok());
    const HANDLE locked = CreateFileW((source_.path() / "textures" / "wall.bmp").c_str(),
                                      GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ExpectNothingWritten("Shop", {});
    CloseHandle(locked);
}
#endif

TEST_F(LibraryTest, EmptyOrClosedPackageWritesNothing) {
    EXPECT_FALSE(Extract("Shop").ok());
    ASSERT_TRUE(Add("Shop").ok());
    EXPECT_FALSE(Extract("Other").ok());
    library_.ClosePackage();
    library_.ClosePackage();
    EXPECT_FALSE(Extract("Shop").ok());
    EXPECT_TRUE(Listing(destination_.path()).empty());
}

TEST_F(LibraryTest, AnEmptyDestinationIsRefusedAndNothingIsWritten) {
    ASSERT_TRUE(Add("Shop").ok());
    EXPECT_EQ(library_.ExtractFromPackage("", "Shop").message(),
              "No destination folder was given, so nothing was written.");
    EXPECT_FALSE(fs::exists(fs::current_path() / "Shop"));
}

TEST_F(LibraryTest, PackageStringsReachConfigButNeverTheIdentity) {
    library_.SetStringData("season", "winter");
    library_.SetStringData("kuid", "<kuid:1:1>");
    library_.SetStringData("description", "from the package");
    library_.SetStringData("not a key", "dropped");
    ASSERT_TRUE(Add("Shop", "from the add").ok());
    library_.SetStringData("mesh", "late.obj");
    ASSERT_TRUE(Extract("Shop").ok());
    const ConfigFile config = ReadConfig(AssetFolder("Shop") / "config.txt");
    EXPECT_EQ(Value(config, "season"), "winter");
    EXPECT_EQ(Value(config, "mesh"), "late.obj");
    EXPECT_EQ(Value(config, "kuid"), "<kuid:424242:1>");
    EXPECT_EQ(Value(config, "description"), "from the add");
    EXPECT_EQ(config.EntryCount(), 7u);
}

TEST_F(LibraryTest, TheLastErrorIsTheCurrentPackagesMostRecentFailure) {
    ASSERT_TRUE(Add("Shop").ok());
    EXPECT_EQ(library_.LastError(), "");
    const Result refused = Add("a|b");
    EXPECT_EQ(library_.LastError(), refused.message());
    WriteFile(AssetFolder("Shop") / "config.txt", "kind = mine\r\n");
    const Result extracted = Extract("Shop");
    EXPECT_FALSE(extracted.ok());
    EXPECT_EQ(library_.LastError(), extracted.message());
    EXPECT_NE(library_.LastError().find("Asset already exists"), std::string::npos);
    ASSERT_TRUE(Add("Shop").ok());
    EXPECT_EQ(library_.LastError(), extracted.message());
    library_.CreatePackage("");
    EXPECT_EQ(library_.LastError(), "");
}

TEST_F(LibraryTest, CreatorIdentifierIsReadAtEveryCall) {
    EXPECT_EQ(library_.CreatorKuid(), kKuid);
    ASSERT_TRUE(SetCreatorKuid(*scratch_.Open(), 99).ok());
    EXPECT_EQ(library_.CreatorKuid(), 99);
    scratch_.WriteRaw(kCreatorKuidValue, false, "99");
    EXPECT_EQ(library_.CreatorKuid(), 0);
}

}  // namespace
}  // namespace velcomp
