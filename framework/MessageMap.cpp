#include "framework/MessageMap.h"

namespace framework {
namespace {

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam) {
    if (entry.message != message) {
        return false;
    }
    return message != WM_COMMAND || (entry.code == HIWORD(wParam) && entry.id == LOWORD(wParam));
}

}  // namespace

bool CCmdTarget::Dispatch(UINT message, WPARAM wParam, LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (!Matches(entry, message, wParam)) {
                continue;
            }
            if (entry.query != nullptr) {
                result = reinterpret_cast<LRESULT>((this->*entry.query)());
            } else {
                (this->*entry.handler)();
                result = 0;
            }
            return true;
        }
    }
    return false;
}

}  // namespace framework
