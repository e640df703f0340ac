#include "velcomp/ConfigFile.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "contract/PackageFiles.h"
#include "names/AssetName.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// Printable ASCII that needs no quotes: no space, quote, backslash or '#'.
bool IsBareChar(char c) {
    return c > ' ' && c < 0x7F && c != '"' && c != '\\' && c != '#';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes the two hexadecimal digits that follow "\x" at text[i]; advances i past them.
// Empty on error.
std::string DecodeHexByte(std::string_view text, std::size_t& i, std::string& error) {
    const int high = i < text.size() ? HexValue(text[i]) : -1;
    const int low = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    if (high < 0 || low < 0) {
        error = "\\x needs two hexadecimal digits";
        return {};
    }
    i += 2;
    return std::string(1, static_cast<char>(high * 16 + low));
}

// Decodes one escape after a backslash at text[i]; advances i past it. Empty on error.
std::string DecodeEscape(std::string_view text, std::size_t& i, std::string& error) {
    if (i + 1 >= text.size()) {
        error = "a backslash ends the line";
        return {};
    }
    const char kind = text[i + 1];
    i += 2;
    switch (kind) {
        case '\\':
            return "\\";
        case '"':
            return "\"";
        case 'n':
            return "\n";
        case 'r':
            return "\r";
        case 't':
            return "\t";
        case 'x':
            return DecodeHexByte(text, i, error);
        default:
            error = std::string("unknown escape \\") + kind;
            return {};
    }
}

// Reads a quoted value starting at its opening quote; the rest of the line must be blank.
bool ParseQuoted(std::string_view text, std::string& value, std::string& error) {
    std::size_t i = 1;
    while (i < text.size() && text[i] != '"') {
        const char c = text[i];
        if (c == '\\') {
            std::string decoded = DecodeEscape(text, i, error);
            if (decoded.empty()) {
                return false;
            }
            value += decoded;
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            error = "a control character must be written as \\xHH";
            return false;
        } else {
            value += c;
            ++i;
        }
    }
    if (i >= text.size()) {
        error = "the quoted value has no closing quote";
        return false;
    }
    if (!TrimBlanks(text.substr(i + 1)).empty()) {
        error = "there is text after the closing quote";
        return false;
    }
    return true;
}

bool ParseValue(std::string_view text, std::string& value, std::string& error) {
    if (!text.empty() && text.front() == '"') {
        return ParseQuoted(text, value, error);
    }
    if (!std::all_of(text.begin(), text.end(), IsBareChar)) {
        error = "a value with spaces, quotes, backslashes, '#' or non-ASCII text must be quoted";
        return false;
    }
    value = text;
    return true;
}

// Editors on Windows often start UTF-8 text with a byte-order mark; it is no setting.
std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    return text.substr(0, kByteOrderMark.size()) == kByteOrderMark
               ? text.substr(kByteOrderMark.size())
               : text;
}

// Takes the next line from the front of `text`, without its line end (LF or CR LF).
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == text.npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

bool IsComment(std::string_view content) {
    return content.empty() || content.front() == '#';
}

// Splits "key = value" into its key and the value as written.
bool SplitEntry(std::string_view content, std::string_view& key, std::string_view& value) {
    const std::size_t keyEnd =
        std::find_if_not(content.begin(), content.end(), IsKeyChar) - content.begin();
    key = content.substr(0, keyEnd);
    const std::string_view rest = TrimBlanks(content.substr(keyEnd));
    if (key.empty() || rest.empty() || rest.front() != '=') {
        return false;
    }
    value = TrimBlanks(rest.substr(1));
    return true;
}

// Reads one line: an entry's key and value, or no key and a comment or blank line as written.
bool ParseLine(std::string_view line, std::string_view& key, std::string& value,
               std::string& error) {
    if (line.find('\r') != line.npos) {
        error = "a line break must be written as \\r or \\n";
        return false;
    }
    const std::string_view content = TrimBlanks(line);
    if (IsComment(content)) {
        value = line;
        return true;
    }
    std::string_view written;
    if (!SplitEntry(content, key, written)) {
        error = "expected key = value, the key made of letters, digits, '-', '_', '.'";
        return false;
    }
    return ParseValue(written, value, error);
}

// The line on which each key of a file is set.
using KeyLines = std::map<std::string, std::size_t, std::less<>>;

// Notes that `key` is set on line `number`; a key may be set only once.
bool NoteKey(std::string_view key, std::size_t number, KeyLines& keyLines, std::string& error) {
    if (key.empty()) {
        return true;  // a comment or blank line
    }
    const auto [previous, added] = keyLines.emplace(std::string(key), number);
    if (!added) {
        error = "the key " + std::string(key) + " is already set on line " +
                std::to_string(previous->second);
    }
    return added;
}

std::string Encode(std::string_view value) {
    if (!value.empty() && std::all_of(value.begin(), value.end(), IsBareChar)) {
        return std::string(value);
    }
    std::string out = "\"";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += c;  // code-page bytes stay as they are, readable in the author's editor
        }
    }
    return out + "\"";
}

}  // namespace

bool IsConfigFileName(const std::filesystem::path& name) {
    return names::SameIgnoringAsciiCase(TextFromPath(name), contract::kConfigFileName);
}

bool ConfigFile::IsValidKey(std::string_view key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), IsKeyChar);
}

Result ConfigFile::Parse(std::string_view text) {
    text = WithoutByteOrderMark(text);
    std::vector<Line> lines;
    KeyLines keyLines;
    for (std::size_t number = 1; !text.empty(); ++number) {
        std::string_view key;
        std::string value;
        std::string error;
        if (!ParseLine(NextLine(text), key, value, error) ||
            !NoteKey(key, number, keyLines, error)) {
            return Result::Failure("line " + std::to_string(number) + ": " + error);
        }
        lines.push_back({!key.empty(), std::string(key), std::move(value)});
    }
    lines_ = std::move(lines);
    return Result::Success();
}

void ConfigFile::VisitEntries(std::string_view text, const EntryVisitor& visit) {
    text = WithoutByteOrderMark(text);
    while (!text.empty()) {
        const std::string_view content = TrimBlanks(NextLine(text));
        std::string_view key;
        std::string_view written;
        if (IsComment(content) || !SplitEntry(content, key, written)) {
            continue;
        }
        std::string value;
        std::string error;
        visit(key, ParseValue(written, value, error) ? std::string_view(value) : written);
    }
}

std::string ConfigFile::Format() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.isEntry ? line.key + " = " + Encode(line.value) : line.value;
        text += "\r\n";
    }
    return text;
}

const std::string* ConfigFile::Find(std::string_view key) const {
    for (const Line& line : lines_) {
        if (line.isEntry && line.key == key) {
            return &line.value;
        }
    }
    return nullptr;
}

void ConfigFile::Set(std::string_view key, std::string_view value) {
    for (Line& line : lines_) {
        if (line.isEntry && line.key == key) {
            line.value = value;
            return;
        }
    }
    lines_.push_back({true, std::string(key), std::string(value)});
}

std::size_t ConfigFile::EntryCount() const {
    return std::count_if(lines_.begin(), lines_.end(), [](const Line& l) { return l.isEntry; });
}

Result ReadConfigFile(const std::filesystem::path& file, ConfigFile& config) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return Result::Failure("cannot be read (" + error.message() + ")");
    }
    if (size > kMaxConfigSize) {
        return Result::Failure("is larger than 1 MiB");
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
            return Result::Failure("cannot be read");
        }
    } catch (const std::ios_base::failure&) {
        return Result::Failure("cannot be read");  // some read errors arrive as exceptions
    }
    return config.Parse(text);
}

}  // namespace velcomp
