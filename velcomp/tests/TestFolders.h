// Real temporary folders and small file helpers for the library's tests.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velcomp::test {

// Whether a message holds a part, for tests that look for a name or a reason in it.
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const fs::path& base = fs::temp_directory_path()) {
        static std::atomic<unsigned> count{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = base / ("velcomp-test-" + std::to_string(stamp) + "-" + std::to_string(count++));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    // The folder as 8-bit text with a backslash at the end, as the program passes it.
    std::string Text() const {
        std::string text = path_.string();
        for (char& c : text) {
            c = c == '/' ? '\\' : c;
        }
        return text + "\\";
    }

private:
    fs::path path_;
};

// A folder in memory where the system has one, for tests that write a great deal: what
// they test does not depend on the disk's speed.
inline fs::path FastTempBase() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

inline void WriteFile(const fs::path& file, const std::string& content) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

// Writes `content` over a file and puts its last write back exactly, as `touch -r` does.
inline void RewriteKeepingTime(const fs::path& file, const std::string& content) {
#ifdef _WIN32
    FILETIME written{};
    HANDLE handle = CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    GetFileTime(handle, nullptr, nullptr, &written);
    CloseHandle(handle);
    WriteFile(file, content);
    handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &written);
    CloseHandle(handle);
#else
    const auto time = fs::last_write_time(file);
    WriteFile(file, content);
    fs::last_write_time(file, time);
#endif
}

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    std::string content(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

}  // namespace velcomp::test
