// Recording stand-ins for the platform, the library and the dialog.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "creation/CreateAsset.h"

namespace kitwright::testing {

// One log for every fake, so tests can check the order of all outside calls.
using CallLog = std::vector<std::string>;

class RecordingPlatform : public Platform {
public:
    explicit RecordingPlatform(CallLog& log) : log_(log) {}

    std::map<std::string, std::string> machineValues;  // "subKey|value" -> raw data
    std::set<std::string> existing;
    std::string programFileName = "C:\\Tools\\Kitwright\\Kitwright.exe";

    bool ReadMachineValue(const std::string& subKey, const std::string& valueName,
                          std::string& data) override {
        log_.push_back("ReadMachineValue " + subKey + "|" + valueName);
        const auto it = machineValues.find(subKey + "|" + valueName);
        if (it == machineValues.end()) {
            return false;
        }
        data = it->second;
        return true;
    }
    bool PathExists(const std::string& path) override {
        log_.push_back("PathExists " + path);
        return existing.count(path) != 0;
    }
    void CopyFileReplacing(const std::string& from, const std::string& to) override {
        log_.push_back("CopyFile " + from + " -> " + to);
    }
    void Launch(const std::string& program, const std::string& parameters) override {
        log_.push_back("Launch " + program + " [" + parameters + "]");
    }
    void ShowMessage(const std::wstring& text) override {
        log_.push_back("Message " + NarrowText(text));
    }
    std::string ProgramFileName() override {
        log_.push_back("ProgramFileName");
        return programFileName;
    }

    // A double-byte code page when set: these bytes lead, and a pair becomes one character.
    std::set<unsigned char> leadBytes;
    std::map<std::string, std::string> otherNames;  // path -> name the entry is stored under

    bool IsLeadByte(unsigned char byte) override { return leadBytes.count(byte) != 0; }
    std::wstring WideText(const std::string& text) override {
        std::wstring wide;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const auto byte = static_cast<unsigned char>(text[at]);
            if (IsLeadByte(byte) && at + 1 < text.size()) {
                wide += static_cast<wchar_t>(0x3000 + static_cast<unsigned char>(text[++at]));
            } else {
                wide += static_cast<wchar_t>(byte);  // code page 1252's Latin-1 part
            }
        }
        return wide;
    }
    // The inverse of WideText: Latin-1 and the pairs of the one lead byte, nothing else.
    bool ToCodePage(const std::wstring& text, std::string& bytes) override {
        bytes.clear();
        for (const wchar_t c : text) {
            if (c < 0x100) {
                bytes += static_cast<char>(c);
            } else if (c >= 0x3000 && c < 0x3100 && !leadBytes.empty()) {
                bytes += static_cast<char>(*leadBytes.begin());
                bytes += static_cast<char>(c - 0x3000);
            } else {
                return false;
            }
        }
        return true;
    }
    unsigned codePage = 1252;
    unsigned AnsiCodePage() override { return codePage; }

    // A message as the log keeps it: in the code page where it can be, in UTF-8 elsewhere.
    std::string NarrowText(const std::wstring& text) {
        std::string narrow;
        for (const wchar_t c : text) {
            std::string bytes;
            if (ToCodePage(std::wstring(1, c), bytes)) {
                narrow += bytes;
            } else {
                narrow += Utf8(static_cast<unsigned long>(c));
            }
        }
        return narrow;
    }
    static std::string Utf8(unsigned long code) {
        if (code < 0x800) {
            return {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
        }
        if (code < 0x10000) {
            return {static_cast<char>(0xE0 | code >> 12),
                    static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (code & 0x3F))};
        }
        return {static_cast<char>(0xF0 | code >> 18), static_cast<char>(0x80 | (code >> 12 & 0x3F)),
                static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                static_cast<char>(0x80 | (code & 0x3F))};
    }

    std::string StoredNameIfOther(const std::string& path) override {
        log_.push_back("StoredName " + path);
        const auto it = otherNames.find(path);
        return it == otherNames.end() ? std::string() : it->second;
    }

private:
    CallLog& log_;
};

class RecordingLibrary : public PackageLibrary {
public:
    RecordingLibrary(CallLog& log, RecordingPlatform& platform) : log_(log), platform_(platform) {}

    int kuid = 42;
    bool addSucceeds = true;
    std::string errorText = "source folder is missing";
    bool extractWritesConfig = true;  // as a working library does

    void InitVEL() override { log_.push_back("InitVEL"); }
    int GetMyKUID() override {
        log_.push_back("GetMyKUID");
        return kuid;
    }
    void ClosePackage() override { log_.push_back("ClosePackage"); }
    void CreatePackage(const char* name) override {
        log_.push_back(std::string("CreatePackage [") + name + "]");
    }
    void SetStringData(const char* key, const char* value) override {
        log_.push_back(std::string("SetStringData ") + key + "=" + value);
    }
    bool AddToPackageSpecial(const char* source, const char* name, const char* description,
                             const char* classCode, char* error) override {
        log_.push_back(std::string("AddToPackageSpecial ") + source + "|" + name + "|" +
                       description + "|" + (classCode ? classCode : "(null)"));
        lastErrorBuffer.assign(error, error + kErrorTextSize);
        if (!addSucceeds) {
            std::memcpy(error, errorText.data(), std::min(errorText.size(), kErrorTextSize));
        }
        return addSucceeds;
    }
    void ExtractFromPackage(const char* destination, const char* name) override {
        log_.push_back(std::string("ExtractFromPackage ") + destination + "|" + name);
        if (extractWritesConfig) {
            platform_.existing.insert(std::string(destination) + name + "\\config.txt");
        }
    }

    std::string LastPackageError() override {
        log_.push_back("LastPackageError");
        return lastPackageError;
    }

    // Asked after every write-out that succeeded, so not logged: the call logs stay those
    // of the seven calls.
    std::string LastPackageNote() override { return lastPackageNote; }

    std::vector<char> lastErrorBuffer;  // the buffer as the library received it
    std::string lastPackageError;       // empty, as from a library without the call
    std::string lastPackageNote;        // the same

private:
    CallLog& log_;
    RecordingPlatform& platform_;
};

// Its Name and Description are given as the code page's bytes, as the dialog read them
// before it read wide text, or as typed characters.
class FakeForm : public CreationForm {
public:
    FakeForm(CallLog& log, RecordingPlatform& platform) : log_(log), platform_(platform) {}

    std::string label = "BC Commercial";
    std::string name = "Shop";
    std::string description = "A corner shop";
    std::wstring typedName;         // used instead of `name` when not empty
    std::wstring typedDescription;  // used instead of `description` when not empty
    int returnsToName = 0;

    std::string SelectedClassLabel() override {
        log_.push_back("Form label");
        return label;
    }
    std::wstring NameText() override {
        log_.push_back("Form name");
        return typedName.empty() ? platform_.WideText(name) : typedName;
    }
    std::wstring DescriptionText() override {
        log_.push_back("Form description");
        return typedDescription.empty() ? platform_.WideText(description) : typedDescription;
    }
    void ReturnToName() override { ++returnsToName; }

private:
    CallLog& log_;
    RecordingPlatform& platform_;
};

}  // namespace kitwright::testing
