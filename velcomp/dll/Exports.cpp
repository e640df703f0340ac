// The DLL's calls: each hands over to the one Library and lets no exception escape.
#define VELCOMP_BUILDING_DLL
#include "contract/velCompDLL.h"

#include <memory>

#include "velcomp/Library.h"
#include "velcomp/MessageText.h"

namespace {

struct State {
    std::unique_ptr<velcomp::SettingsStore> settings = velcomp::OpenUserSettings();
    velcomp::Library library{*settings};
};

// Made on first use, so that every call works whether InitVEL came first or not.
velcomp::Library& TheLibrary() {
    static State state;
    return state.library;
}

std::string_view Text(const char* text) {
    return text != nullptr ? text : std::string_view();
}

void Report(const std::string& message, char* errorText) {
    velcomp::CopyMessage(message, errorText, contract::kErrorTextSize);
}

// One of the library's texts into a caller's buffer of `size` bytes, cut and terminated.
void CopyLibraryText(const std::string& (velcomp::Library::*which)() const, char* text, int size) {
    if (size <= 0) {
        return;
    }
    try {
        velcomp::CopyMessage((TheLibrary().*which)(), text, static_cast<std::size_t>(size));
    } catch (...) {
        velcomp::CopyMessage("", text, static_cast<std::size_t>(size));
    }
}

}  // namespace

extern "C" {

void __cdecl InitVEL(void) {
    try {
        TheLibrary();
    } catch (...) {
    }
}

int __cdecl GetMyKUID(void) {
    try {
        return TheLibrary().CreatorKuid();
    } catch (...) {
        return 0;
    }
}

void __cdecl ClosePackage(void) {
    try {
        TheLibrary().ClosePackage();
    } catch (...) {
    }
}

void __cdecl CreatePackage(const char* name) {
    try {
        TheLibrary().CreatePackage(Text(name));
    } catch (...) {
    }
}

void __cdecl SetStringData(const char* key, const char* value) {
    try {
        TheLibrary().SetStringData(Text(key), Text(value));
    } catch (...) {
    }
}

bool __cdecl AddToPackageSpecial(const char* source, const char* name, const char* description,
                                 const char* classCode, char* errorText) {
    try {
        if (source == nullptr) {
            Report("No source folder was given.", errorText);
            return false;
        }
        velcomp::AssetRequest request{source, Text(name), Text(description), std::nullopt};
        if (classCode != nullptr) {
            request.classCode = classCode;
        }
        const velcomp::Result added = TheLibrary().AddToPackage(request);
        if (!added) {
            Report(added.message(), errorText);
        }
        return added.ok();
    } catch (...) {
        velcomp::CopyMessage("The asset could not be added: unexpected error in the library.",
                             errorText, contract::kErrorTextSize);
        return false;
    }
}

void __cdecl ExtractFromPackage(const char* destination, const char* name) {
    try {
        if (destination != nullptr && name != nullptr) {
            TheLibrary().ExtractFromPackage(destination, name);
        }
    } catch (...) {
    }
}

void __cdecl GetLastPackageError(char* text, int size) {
    CopyLibraryText(&velcomp::Library::LastError, text, size);
}

void __cdecl GetLastPackageNote(char* text, int size) {
    CopyLibraryText(&velcomp::Library::LastNote, text, size);
}

}  // extern "C"
