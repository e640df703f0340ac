#include "creation/Locations.h"

#include <algorithm>
#include <cstring>

#include "creation/CodePageText.h"

namespace kitwright {
namespace {

// "Path" is a list in the form of %PATH%, and registered values do end in ';' (Wine's own
// do): the first entry is the folder. A quoted entry may hold ';'.
std::string FirstListEntry(const std::string& list) {
    if (!list.empty() && list.front() == '"') {
        const std::size_t close = list.find('"', 1);
        return list.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return list.substr(0, list.find(';'));
}

// Registry data may lack a terminator; text that cannot fit with one counts as absent.
void ReadPathValue(Platform& platform, const char* subKey, PathBuffer& buffer) {
    std::string data;
    if (!platform.ReadMachineValue(subKey, kPathValue, data)) {
        return;
    }
    const std::string text = data.substr(0, data.find('\0'));
    if (text.size() >= kPathBufferSize) {
        return;
    }
    const std::string folder = FirstListEntry(text);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
}

void DropTrailingBackslash(Platform& platform, PathBuffer& buffer) {
    const std::size_t last = LastCharacterAt(platform, buffer);
    if (last != std::string::npos && buffer[last] == '\\') {
        buffer[last] = '\0';
    }
}

}  // namespace

bool GetInstallPath(Platform& platform, PathBuffer& buffer) {
    ReadPathValue(platform, kInstallKey, buffer);
    DropTrailingBackslash(platform, buffer);
    return true;
}

bool GetLiveryLoftPath(Platform& platform, PathBuffer& buffer) {
    ReadPathValue(platform, kLiveryLoftKey, buffer);
    DropTrailingBackslash(platform, buffer);
    return true;
}

std::string GetProgramPath(Platform& platform) {
    return platform.ProgramFileName();
}

std::string FolderOf(Platform& platform, const std::string& programPath) {
    std::size_t slash = std::string::npos;
    for (std::size_t at = NextBackslash(platform, programPath, 0); at < programPath.size();
         at = NextBackslash(platform, programPath, at + 1)) {
        slash = at;
    }
    return slash == std::string::npos ? std::string() : programPath.substr(0, slash);
}

}  // namespace kitwright
