// The merge's record, read from any bytes: never a crash or a read past the end, and what it
// reads it writes back to the same moves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "velcomp/merge/Journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velcomp::MergePlan plan;
    if (!velcomp::ParseJournal(bytes, plan)) {
        return 0;
    }
    std::string again = velcomp::JournalText(plan);
    for (std::size_t index = 0; index < plan.moves.size(); ++index) {
        if (plan.moves[index].placed) {
            again += velcomp::PlacedLine(index, plan.moves[index].stamp.changed);
        }
    }
    velcomp::MergePlan reread;
    fuzz::Check(velcomp::ParseJournal(again, reread), "a record written back reads again", bytes);
    fuzz::Check(reread.moves.size() == plan.moves.size(), "as many moves read back", bytes);
    for (std::size_t i = 0; i < plan.moves.size() && i < reread.moves.size(); ++i) {
        const velcomp::PlannedMove& a = plan.moves[i];
        const velcomp::PlannedMove& b = reread.moves[i];
        fuzz::Check(a.path == b.path && a.kind == b.kind && a.stamp == b.stamp &&
                        a.carrier == b.carrier && a.placed == b.placed,
                    "every move read back as it was", bytes);
    }
    return 0;
}
