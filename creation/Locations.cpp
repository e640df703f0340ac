#include "creation/Locations.h"

#include <cstring>

namespace kitwright {
namespace {

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
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void DropTrailingBackslash(PathBuffer& buffer) {
    const std::size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\\') {
        buffer[length - 1] = '\0';
    }
}

}  // namespace

bool GetInstallPath(Platform& platform, PathBuffer& buffer) {
    ReadPathValue(platform, kInstallKey, buffer);
    DropTrailingBackslash(buffer);
    return true;
}

bool GetLiveryLoftPath(Platform& platform, PathBuffer& buffer) {
    ReadPathValue(platform, kLiveryLoftKey, buffer);
    DropTrailingBackslash(buffer);
    return true;
}

std::string GetProgramPath(Platform& platform) {
    return platform.ProgramFileName();
}

std::string FolderOf(const std::string& programPath) {
    const std::size_t slash = programPath.rfind('\\');
    return slash == std::string::npos ? std::string() : programPath.substr(0, slash);
}

}  // namespace kitwright
