#include "velcomp/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>

#include "velcomp/tests/TestFolders.h"

namespace velcomp {
namespace {

std::string RoundTrip(const std::string& value) {
    ConfigFile written;
    written.Set("description", value);
    ConfigFile read;
    const Result parsed = read.Parse(written.Format());
    EXPECT_TRUE(parsed.ok()) << parsed.message() << "\n" << written.Format();
    const std::string* found = read.Find("description");
    return found != nullptr ? *found : "<missing>";
}

TEST(ConfigFileTest, AnyDescriptionRoundTripsExactly) {
    const std::string values[] = {
        "",
        "Shop",
        "A \"quoted\" word",
        "C:\\Sim\\World\\ and a trailing backslash\\",
        "\\n is not a line break here",
        "two\r\nlines",
        "lone\rCR and lone\nLF\n",
        "\r\n\r\n",
        "  spaces around  ",
        "tab\there",
        "# not a comment = not a key",
        "Caf\xE9 \x80\x9F\xA0\xFF",
        "control \x01\x1B\x7F bytes",
        std::string("every byte ") +
            [] {
                std::string all;
                for (int byte = 1; byte < 256; ++byte) {
                    all += static_cast<char>(byte);
                }
                return all;
            }(),
    };
    for (const std::string& value : values) {
        EXPECT_EQ(RoundTrip(value), value);
    }
}

TEST(ConfigFileTest, NulBytesRoundTripAsHexEscapes) {
    using namespace std::string_literals;
    for (const std::string& value : {"\0"s, "a\0b"s, "\0\0\0"s, "end\0"s, "\0\x01\r\n\0"s}) {
        EXPECT_EQ(RoundTrip(value), value);
    }
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte += static_cast<char>(byte);
    }
    EXPECT_EQ(RoundTrip(everyByte), everyByte);

    ConfigFile config;
    config.Set("a", "x\0y"s);
    EXPECT_EQ(config.Format(), "a = \"x\\x00y\"\r\n");
    ASSERT_TRUE(config.Parse("b = \"\\x00\\x00\"\nc = \"\\xff\\x0a\"").ok());
    EXPECT_EQ(*config.Find("b"), "\0\0"s);
    EXPECT_EQ(*config.Find("c"), "\xFF\n");
}

TEST(ConfigFileTest, AByteOrderMarkAtTheVeryStartIsDropped) {
    ConfigFile config;
    ASSERT_TRUE(config.Parse("\xEF\xBB\xBFkind = scenery\r\nmesh = a.obj").ok());
    ASSERT_NE(config.Find("kind"), nullptr);
    EXPECT_EQ(*config.Find("kind"), "scenery");
    EXPECT_EQ(config.Format(), "kind = scenery\r\nmesh = a.obj\r\n");

    ASSERT_TRUE(config.Parse("\xEF\xBB\xBF# comment\n").ok());
    EXPECT_EQ(config.Format(), "# comment\r\n");
    ASSERT_TRUE(config.Parse("\xEF\xBB\xBF").ok());
    EXPECT_EQ(config.Format(), "");

    // Anywhere else it is text like any other, and no bare key starts with it.
    const std::string bom = "\xEF\xBB\xBF";
    const auto failedLine = [&config](const std::string& text) {
        return config.Parse(text).message().substr(0, 7);
    };
    EXPECT_EQ(failedLine(bom + bom + "kind = scenery"), "line 1:");
    EXPECT_EQ(failedLine("a = 1\n" + bom + "b = 2"), "line 2:");
    EXPECT_EQ(failedLine(" " + bom + "a = 1"), "line 1:");
    EXPECT_EQ(failedLine(bom.substr(0, 2) + "a = 1"), "line 1:");
    ASSERT_TRUE(config.Parse("a = \"\xEF\xBB\xBF\"").ok());
    EXPECT_EQ(*config.Find("a"), "\xEF\xBB\xBF");
}

TEST(ConfigFileTest, WrittenTextIsOneLinePerEntryWithCrLf) {
    ConfigFile config;
    config.Set("kuid", "<kuid:7:1>");
    config.Set("description", "a\nb \"c\" \\ \xE9");
    EXPECT_EQ(config.Format(),
              "kuid = <kuid:7:1>\r\n"
              "description = \"a\\nb \\\"c\\\" \\\\ \xE9\"\r\n");
}

TEST(ConfigFileTest, ParseKeepsCommentsOrderAndSetReplacesInPlace) {
    ConfigFile config;
    ASSERT_TRUE(config
                    .Parse("# Scenery template\n"
                           "kind = scenery\r\n"
                           "\n"
                           "  mesh=\"main.obj\"  \n"
                           "light.count = 2")
                    .ok());
    EXPECT_EQ(config.EntryCount(), 3u);
    ASSERT_NE(config.Find("mesh"), nullptr);
    EXPECT_EQ(*config.Find("mesh"), "main.obj");
    EXPECT_EQ(config.Find("Kind"), nullptr);
    config.Set("kind", "building");
    config.Set("username", "Shop");
    EXPECT_EQ(config.Format(),
              "# Scenery template\r\n"
              "kind = building\r\n"
              "\r\n"
              "mesh = main.obj\r\n"
              "light.count = 2\r\n"
              "username = Shop\r\n");
}

TEST(ConfigFileTest, MalformedTextIsRefusedWithItsLineNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"kind = scenery\nno equals sign", "line 2: expected key = value"},
        {"= value", "line 1: expected key = value"},
        {"bad key = 1", "line 1: expected key = value"},
        {"a = \"open", "line 1: the quoted value has no closing quote"},
        {"a = \"x\" y", "line 1: there is text after the closing quote"},
        {"a = \"\\q\"", "line 1: unknown escape \\q"},
        {"a = \"\\x0\"", "line 1: \\x needs two hexadecimal digits"},
        {"a = \"\\xG0\"", "line 1: \\x needs two hexadecimal digits"},
        {"a = \"\\x\"", "line 1: \\x needs two hexadecimal digits"},
        {"a = \"x\\\"", "line 1: the quoted value has no closing quote"},
        {"a = \"\x01\"", "line 1: a control character must be written as \\xHH"},
        {"a = two words", "line 1: a value with spaces"},
        {"a = Caf\xE9", "line 1: a value with spaces"},
        {"a = x\rb = y", "line 1: a line break must be written"},
        {"a = 1\n\nb = 2\na = 3", "line 4: the key a is already set on line 1"},
    };
    for (const auto& [text, message] : cases) {
        ConfigFile config;
        config.Set("kept", "yes");
        const Result parsed = config.Parse(text);
        EXPECT_FALSE(parsed.ok()) << text;
        EXPECT_EQ(parsed.message().rfind(message, 0), 0u) << text << " -> " << parsed.message();
        EXPECT_NE(config.Find("kept"), nullptr) << "a failed parse must leave the content alone";
    }
}

TEST(ConfigFileTest, KeysAreLettersDigitsDashUnderscoreDot) {
    EXPECT_TRUE(ConfigFile::IsValidKey("category-class"));
    EXPECT_TRUE(ConfigFile::IsValidKey("mesh_table.default.2"));
    EXPECT_FALSE(ConfigFile::IsValidKey(""));
    EXPECT_FALSE(ConfigFile::IsValidKey("two words"));
    EXPECT_FALSE(ConfigFile::IsValidKey("a=b"));
}

TEST(ConfigFileTest, ReadsFilesAndRefusesOversizedOnes) {
    test::TempFolder folder;
    test::WriteFile(folder.path() / "config.txt", "kind = scenery\r\n");
    ConfigFile config;
    ASSERT_TRUE(ReadConfigFile(folder.path() / "config.txt", config).ok());
    EXPECT_EQ(*config.Find("kind"), "scenery");

    test::WriteFile(folder.path() / "big.txt", std::string(1024 * 1024 + 1, '#'));
    EXPECT_EQ(ReadConfigFile(folder.path() / "big.txt", config).message(), "is larger than 1 MiB");
    EXPECT_FALSE(ReadConfigFile(folder.path() / "missing.txt", config).ok());
}

}  // namespace
}  // namespace velcomp
