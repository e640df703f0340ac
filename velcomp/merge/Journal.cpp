#include "velcomp/merge/Journal.h"

#include <charconv>

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr char kHeader[] = "velcomp merge 2\n";

// Reads the next space-separated number of `line` from `at`.
template <class Number>
bool ReadNumber(std::string_view line, std::size_t& at, Number& number) {
    const char* end = line.data() + line.size();
    const auto [next, error] = std::from_chars(line.data() + at, end, number);
    if (error != std::errc() || next == end || *next != ' ') {
        return false;
    }
    at = static_cast<std::size_t>(next - line.data()) + 1;
    return true;
}

// Reads "<length>:<bytes>" at `at` of `text`, which may hold line breaks, and the line
// break after it.
bool ReadName(std::string_view text, std::size_t& at, fs::path& name) {
    std::size_t length = 0;
    const char* end = text.data() + text.size();
    const auto [colon, error] = std::from_chars(text.data() + at, end, length);
    if (error != std::errc() || colon == end || *colon != ':') {
        return false;
    }
    const std::size_t start = static_cast<std::size_t>(colon - text.data()) + 1;
    if (length >= text.size() - start || text[start + length] != '\n') {
        return false;
    }
    name = fs::u8path(text.substr(start, length));
    at = start + length + 1;
    return true;
}

bool ReadMove(std::string_view text, std::size_t& at, MergePlan& plan) {
    PlannedMove move;
    const std::string_view rest = text.substr(0, text.find(':', at));
    if (at + 2 > rest.size() || (rest[at] != 'f' && rest[at] != 'd') || rest[at + 1] != ' ') {
        return false;
    }
    move.kind = rest[at] == 'f' ? EntryKind::kFile : EntryKind::kFolder;
    at += 2;
    if (!ReadNumber(rest, at, move.carrier) || !ReadNumber(rest, at, move.stamp.size) ||
        !ReadNumber(rest, at, move.stamp.modified) || !ReadNumber(rest, at, move.stamp.changed) ||
        !ReadNumber(rest, at, move.stamp.id) || !ReadName(text, at, move.path)) {
        return false;
    }
    const int count = static_cast<int>(plan.moves.size());
    if (move.carrier < -1 || move.carrier >= count ||
        (move.carrier >= 0 && plan.moves[static_cast<std::size_t>(move.carrier)].carrier != -1)) {
        return false;
    }
    plan.moves.push_back(std::move(move));
    return true;
}

bool ReadPlaced(std::string_view line, MergePlan& plan) {
    std::size_t at = 0;
    std::size_t index = 0;
    std::int64_t changed = 0;
    const std::string numbers = std::string(line) + ' ';
    if (!ReadNumber(numbers, at, index) || !ReadNumber(numbers, at, changed) ||
        at != numbers.size() || index >= plan.moves.size() || plan.moves[index].carrier != -1) {
        return false;
    }
    plan.moves[index].stamp.changed = changed;
    plan.moves[index].placed = true;
    return true;
}

}  // namespace

std::string JournalText(const MergePlan& plan) {
    std::string text = kHeader;
    for (const PlannedMove& move : plan.moves) {
        const std::string name = move.path.generic_u8string();
        text += "m ";
        text += move.kind == EntryKind::kFolder ? 'd' : 'f';
        text += ' ' + std::to_string(move.carrier) + ' ' + std::to_string(move.stamp.size) + ' ' +
                std::to_string(move.stamp.modified) + ' ' + std::to_string(move.stamp.changed) +
                ' ' + std::to_string(move.stamp.id) + ' ' + std::to_string(name.size()) + ':' +
                name + '\n';
    }
    return text;
}

std::string PlacedLine(std::size_t index, std::int64_t changed) {
    return "p " + std::to_string(index) + ' ' + std::to_string(changed) + '\n';
}

bool ParseJournal(std::string_view text, MergePlan& plan) {
    plan = {};
    if (text.rfind(kHeader, 0) != 0) {
        return false;
    }
    for (std::size_t at = sizeof kHeader - 1; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == text.npos) {
            return true;  // the last line, cut short by a kill: its move was never recorded
        }
        if (text.compare(at, 2, "m ") == 0) {
            at += 2;
            if (!ReadMove(text, at, plan)) {
                return false;
            }
        } else if (text.compare(at, 2, "p ") == 0 &&
                   ReadPlaced(text.substr(at + 2, end - at - 2), plan)) {
            at = end + 1;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace velcomp
