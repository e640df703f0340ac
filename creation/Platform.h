// The operating-system services that asset creation needs, behind one seam.
#pragma once

#include <cstddef>
#include <string>

namespace kitwright {

// Size of the program's fixed path buffers, terminator included.
inline constexpr std::size_t kPathBufferSize = 260;

class Platform {
public:
    virtual ~Platform() = default;

    // Data of the value `valueName` under HKEY_LOCAL_MACHINE\`subKey`, queried through a
    // kPathBufferSize-byte buffer; false when the key or value is missing or does not fit.
    virtual bool ReadMachineValue(const std::string& subKey, const std::string& valueName,
                                  std::string& data) = 0;
    // Whether a file or folder stands at exactly this path (no wildcards).
    virtual bool PathExists(const std::string& path) = 0;
    // Copies a file, replacing the target; the result is not reported.
    virtual void CopyFileReplacing(const std::string& from, const std::string& to) = 0;
    // Opens a program through the shell and returns at once; empty parameters pass none.
    virtual void Launch(const std::string& program, const std::string& parameters) = 0;
    // A modal box owned by the dialog, captioned with the application's name. Wide, so
    // that it can show the characters that the code page lacks.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // Full file name of the running program.
    virtual std::string ProgramFileName() = 0;

    // Texts are bytes of the ANSI code page, where a character may take two bytes and
    // its second may look like a backslash; these let rules judge characters.
    // Whether `byte` starts a two-byte character.
    virtual bool IsLeadByte(unsigned char byte) = 0;
    // The text as UTF-16 characters.
    virtual std::wstring WideText(const std::string& text) = 0;
    // `text` in the ANSI code page, true only when every character is kept exactly: no
    // best-fit look-alike, no default character.
    virtual bool ToCodePage(const std::wstring& text, std::string& bytes) = 0;
    // The number of the ANSI code page (1252, 932...).
    virtual unsigned AnsiCodePage() = 0;
    // For an existing entry whose last part is another name for it (an 8.3 short name),
    // the name under which it is stored; empty when it is stored under that very name
    // (case aside) or does not exist.
    virtual std::string StoredNameIfOther(const std::string& path) = 0;
};

}  // namespace kitwright
