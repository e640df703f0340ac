// Each program's embedded manifest, read from the program file and handed to the system's
// own manifest reader, so that what is checked is what Windows makes of it at start.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Not the framework's AfxProgramFileName: linking the framework would load the system's
// comctl32 at start, before the manifest's own can be loaded and looked at.
std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\'));
}

// The manifest resource (id 1, type 24) of a program, read without running it.
std::string EmbeddedManifest(const std::string& program) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return std::string();
    }
    std::string text;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data != nullptr) {
        text.assign(static_cast<const char*>(data), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// An activation context made from manifest text, as the loader makes one for a program.
class ActivationContext {
public:
    explicit ActivationContext(const std::string& manifest) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        char file[MAX_PATH] = {};
        GetTempFileNameA(folder, "mft", 0, file);
        path_ = file;
        std::ofstream(path_, std::ios::binary) << manifest;
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.lpSource = path_.c_str();
        handle_ = CreateActCtxA(&request);
    }
    ~ActivationContext() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(handle_);
        }
        DeleteFileA(path_.c_str());
    }
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return handle_; }

    std::vector<char> Query(ULONG what, SIZE_T index = 0) const {
        std::vector<char> answer(4096);
        SIZE_T written = 0;
        if (!QueryActCtxW(0, handle_, &index, what, answer.data(), answer.size(), &written)) {
            return {};
        }
        answer.resize(written);
        return answer;
    }

    // A windowsSettings value, such as dpiAware; the call exists from Windows Vista on.
    std::wstring Setting(const wchar_t* space, const wchar_t* name) const {
        using QuerySettings = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);
        const auto query = reinterpret_cast<QuerySettings>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (query == nullptr || !query(0, handle_, space, name, value, 64, &written)) {
            return L"(unset)";
        }
        return value;
    }

private:
    std::string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Windows 7, 8, 8.1 and 10 (which 11 shares), in that order.
const GUID kSupportedSystems[] = {
    {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
    {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
    {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
    {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}},
};

bool Holds(const std::vector<char>& bytes, const GUID& id) {
    for (std::size_t at = 0; at + sizeof id <= bytes.size(); ++at) {
        if (std::memcmp(bytes.data() + at, &id, sizeof id) == 0) {
            return true;
        }
    }
    return false;
}

class ProgramManifest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        manifest_ = EmbeddedManifest(ProgramFolder() + "\\" + GetParam());
        ASSERT_FALSE(manifest_.empty()) << GetParam() << " carries no manifest resource 1";
    }
    std::string manifest_;
};

TEST_P(ProgramManifest, IsOneTheSystemAccepts) {
    EXPECT_EQ(manifest_.rfind("<?xml ", 0), 0u) << manifest_;
    const ActivationContext context(manifest_);
    EXPECT_TRUE(context.Valid()) << "error " << GetLastError() << " for\n" << manifest_;
}

TEST_P(ProgramManifest, RunsAsItsInvokerWithoutUiAccess) {
    const ActivationContext context(manifest_);
    ASSERT_TRUE(context.Valid());
    const std::vector<char> answer = context.Query(RunlevelInformationInActivationContext);
    ASSERT_GE(answer.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION));
    const auto* level =
        reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(answer.data());
    EXPECT_EQ(level->RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level->UiAccess, 0u);
}

TEST_P(ProgramManifest, NamesWindowsSevenToElevenAsSupported) {
    const ActivationContext context(manifest_);
    ASSERT_TRUE(context.Valid());
    const std::vector<char> answer = context.Query(CompatibilityInformationInActivationContext);
    ASSERT_GE(answer.size(), sizeof(DWORD));
    DWORD count = 0;
    std::memcpy(&count, answer.data(), sizeof count);
    EXPECT_EQ(count, 4u);
    for (const GUID& system : kSupportedSystems) {
        EXPECT_TRUE(Holds(answer, system)) << "missing system " << std::hex << system.Data1;
    }
}

TEST_P(ProgramManifest, IsAwareOfTheSystemDpi) {
    const ActivationContext context(manifest_);
    ASSERT_TRUE(context.Valid());
    EXPECT_EQ(
        context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        L"true");
}

// The first assembly after the program's own is its first dependency; in it stands the
// comctl32.dll that the program's dialogs get.
TEST_P(ProgramManifest, BringsInTheVersionSixCommonControls) {
    const ActivationContext context(manifest_);
    ASSERT_TRUE(context.Valid());
    const std::vector<char> answer =
        context.Query(AssemblyDetailedInformationInActivationContext, 2);
    ASSERT_GE(answer.size(), sizeof(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION));
    const auto* assembly =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(answer.data());
    ASSERT_NE(assembly->lpAssemblyEncodedAssemblyIdentity, nullptr);
    const std::wstring identity = assembly->lpAssemblyEncodedAssemblyIdentity;
    EXPECT_EQ(identity.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u);
    EXPECT_NE(identity.find(L"publicKeyToken=\"6595b64144ccf1df\""), std::wstring::npos);
    EXPECT_NE(identity.find(L"version=\"6."), std::wstring::npos);
    ASSERT_NE(assembly->lpAssemblyDirectoryName, nullptr);
    const std::wstring folder = assembly->lpAssemblyDirectoryName;

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context.Handle(), &cookie));
    HMODULE controls = LoadLibraryA("comctl32.dll");
    DeactivateActCtx(0, cookie);
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    FreeLibrary(controls);
    EXPECT_NE(std::wstring(path).find(L"\\" + folder + L"\\comctl32.dll"), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramManifest,
                         ::testing::Values("Kitwright.exe", "Nameplate.exe"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
