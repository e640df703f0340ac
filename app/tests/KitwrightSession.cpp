#include "app/tests/KitwrightSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "creation/Locations.h"
#include "res/resource.h"

namespace kitwright::testing {
namespace {

constexpr DWORD kPatienceMs = 20000;

// How long a wait lasts: kPatienceMs, times KITWRIGHT_TIME_FACTOR where programs run that
// much slower, as the scripts' own limits do (scripts/wine-env.sh checks the factor).
DWORD Patience() {
    static const DWORD patience = [] {
        const char* text = std::getenv("KITWRIGHT_TIME_FACTOR");
        const unsigned long factor = text != nullptr ? std::strtoul(text, nullptr, 10) : 0;
        return kPatienceMs * static_cast<DWORD>(factor > 0 ? factor : 1);
    }();
    return patience;
}
constexpr DWORD kPollMs = 20;

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

// <build>\bin, where the test program and Kitwright.exe are built.
std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

// <build>\standins, where the recording library and launch recorder are built.
std::string StandInFolder() {
    return FolderOf(BinFolder()) + "\\standins";
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string NewSandbox() {
    static int count = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kitwright-test-" +
                         std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void Copy(const std::string& from, const std::string& to) {
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
}

void RegisterHost(Host host, const std::string& root) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
    if (host == Host::kNotRegistered) {
        return;
    }
    const std::string path = host == Host::kEmptyPath ? std::string() : root;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size()) + 1);
    RegCloseKey(key);
}

// A job holds Kitwright and whatever it launches, so tests can wait for all of them and
// nothing outlives the test.
HANDLE NewJob() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

DWORD ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                              nullptr);
    return info.ActiveProcesses;
}

// Wine runs the explorer.exe of system32 whatever folder holds another one, so for these
// tests the launch recorder takes its place, and Wine is told to run that file instead of
// its own explorer. Both are undone when the tests end, or else when they next start.
class ExplorerStandIn : public ::testing::Environment {
public:
    void SetUp() override {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        explorer_ = std::string(system) + "\\explorer.exe";
        backup_ = explorer_ + ".kitwright-tests";
        Restore();
        GetDesktopWindow();  // the desktop process starts with Wine's own explorer
        Copy(explorer_, backup_);
        Copy(StandInFolder() + "\\launch_recorder.exe", explorer_);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, "explorer.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
        RegCloseKey(key);
    }
    void TearDown() override { Restore(); }

private:
    static constexpr char kOverrides[] = "Software\\Wine\\DllOverrides";

    void Restore() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "explorer.exe");
            RegCloseKey(key);
        }
        if (CopyFileA(backup_.c_str(), explorer_.c_str(), FALSE)) {
            DeleteFileA(backup_.c_str());
        }
    }

    std::string explorer_;
    std::string backup_;
};

::testing::Environment* const explorerStandIn =
    ::testing::AddGlobalTestEnvironment(new ExplorerStandIn);

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > Patience()) {
            return done();
        }
        Sleep(kPollMs);
    }
    return true;
}

KitwrightSession::KitwrightSession(SessionOptions options)
    : folder_(NewSandbox()),
      programFolder_(options.releaseFolder.empty() ? folder_ : options.releaseFolder),
      hostRoot_(options.hostRoot.empty() ? folder_ + "\\Railvane" : options.hostRoot) {
    if (options.releaseFolder.empty()) {
        Copy(BinFolder() + "\\Kitwright.exe", folder_ + "\\Kitwright.exe");
        Copy(StandInFolder() + "\\velCompDLL.dll", folder_ + "\\velCompDLL.dll");
        Copy(StandInFolder() + "\\launch_recorder.exe", folder_ + "\\Nameplate.exe");
    }
    RegisterHost(options.host, HostRoot());

    SetEnvironmentVariableA("KITWRIGHT_LIBRARY_LOG", (folder_ + "\\library.log").c_str());
    SetEnvironmentVariableA("KITWRIGHT_LAUNCH_LOG", (folder_ + "\\launches.log").c_str());
    SetEnvironmentVariableA("KITWRIGHT_KUID", options.kuid);
    SetEnvironmentVariableA("KITWRIGHT_LIBRARY_WRITES", options.libraryWrites ? "1" : "0");

    job_ = NewJob();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + programFolder_ + "\\Kitwright.exe\"";
    // Started from its own folder, as Explorer starts a program.
    EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, programFolder_.c_str(), &startup,
                               &process_));
    AssignProcessToJobObject(job_, process_.hProcess);
    ResumeThread(process_.hThread);
}

KitwrightSession::~KitwrightSession() {
    TerminateJobObject(job_, 1);
    WaitForSingleObject(process_.hProcess, Patience());
    WaitUntil([this] { return ActiveProcesses(job_) == 0; });
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    CloseHandle(job_);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
    RemoveTree(folder_);
}

bool KitwrightSession::IsRunning() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> KitwrightSession::VisibleWindows() const {
    WindowSearch search{process_.dwProcessId, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND KitwrightSession::WaitForWindow(const std::string& caption) const {
    HWND window = nullptr;
    WaitUntil([&] {
        for (HWND candidate : VisibleWindows()) {
            if (WindowText(candidate) == caption) {
                window = candidate;
            }
        }
        return window != nullptr || !IsRunning();
    });
    return window;
}

bool KitwrightSession::WaitForExit() const {
    return WaitForSingleObject(process_.hProcess, Patience()) == WAIT_OBJECT_0;
}

void KitwrightSession::WaitForLaunchedPrograms() const {
    EXPECT_TRUE(WaitUntil([this] { return ActiveProcesses(job_) == (IsRunning() ? 1u : 0u); }));
}

std::vector<std::string> KitwrightSession::LibraryCalls() const {
    return ReadLines(folder_ + "\\library.log");
}

std::vector<std::string> KitwrightSession::Launches() const {
    return ReadLines(folder_ + "\\launches.log");
}

std::string DialogDriver::Text(int id) const {
    return WindowText(Control(id));
}

void DialogDriver::Type(int id, const std::string& text) const {
    for (const char c : text) {
        SendMessageA(Control(id), WM_CHAR, static_cast<BYTE>(c), 1);
    }
}

void DialogDriver::Clear(int id) const {
    SendMessageA(Control(id), EM_SETSEL, 0, -1);
    SendMessageA(Control(id), WM_CHAR, VK_BACK, 1);
}

void DialogDriver::SelectClass(int index) const {
    HWND list = Control(IDC_CLASS);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_CLASS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::string MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

}  // namespace kitwright::testing
