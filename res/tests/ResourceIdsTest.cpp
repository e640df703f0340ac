// Two resources or controls sharing an id would silently load or bind the wrong one.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

std::map<std::string, long> ReadDefinitions(const char* path, std::vector<std::string>& twice) {
    std::ifstream header(path);
    const std::regex define(R"(^\s*#\s*define\s+(\w+)\s+(-?(?:0x[0-9A-Fa-f]+|\d+))\s*$)");
    std::map<std::string, long> ids;
    std::string line;
    std::smatch match;
    while (std::getline(header, line)) {
        if (std::regex_match(line, match, define) &&
            !ids.emplace(match[1], std::stol(match[2], nullptr, 0)).second) {
            twice.push_back(match[1]);
        }
    }
    return ids;
}

TEST(ResourceIds, EveryNameAndEveryIdIsDefinedOnce) {
    std::vector<std::string> namedTwice;
    const std::map<std::string, long> ids = ReadDefinitions(RESOURCE_HEADER, namedTwice);
    ASSERT_GE(ids.size(), 15u) << "resource.h not read: " << RESOURCE_HEADER;
    EXPECT_TRUE(namedTwice.empty()) << namedTwice.front() << " is defined twice";

    // IDOK and IDCANCEL are the dialog's Create and Close buttons.
    std::map<long, std::string> owners = {{1, "IDOK"}, {2, "IDCANCEL"}};
    for (const auto& [name, id] : ids) {
        const auto [owner, isNew] = owners.emplace(id, name);
        EXPECT_TRUE(isNew) << name << " and " << owner->second << " share the id " << id;
    }
}

}  // namespace
