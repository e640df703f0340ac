// The write probe (WriteProbe.cpp) in a process of its own, which the kill tests stop at
// any moment, as the task manager or a power cut would.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velcomp::test {

#ifdef _WIN32
inline constexpr char kProbeName[] = "velcomp_write_probe.exe";

// An argument as the C runtime reads it back: backslashes before a quote are doubled.
inline std::string QuotedArgument(const std::string& arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        backslashes = c == '\\' ? backslashes + 1 : 0;
        quoted += c == '"' ? std::string(backslashes + 1, '\\') + "\"" : std::string(1, c);
    }
    return quoted + std::string(backslashes, '\\') + "\"";
}

class Probe {
public:
    explicit Probe(const std::vector<std::string>& args) {
        std::string command;
        for (const std::string& arg : args) {
            command += QuotedArgument(arg) + " ";
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
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
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

inline std::filesystem::path ProgramFolder() {
    wchar_t name[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    return std::filesystem::path(name).parent_path();
}

inline void SleepMicroseconds(long microseconds) {
    Sleep(static_cast<DWORD>(microseconds / 1000));
}
#else
inline constexpr char kProbeName[] = "velcomp_write_probe";

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
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
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

inline std::filesystem::path ProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

inline void SleepMicroseconds(long microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}
#endif

// Whether this build runs under AddressSanitizer, where the fault tests take a sample.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

// The seed of a fault test: `variable` from the environment when set, to replay a failure.
inline unsigned SeedFrom(const char* variable, unsigned fallback) {
    const char* given = std::getenv(variable);
    return given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : fallback;
}

}  // namespace velcomp::test
