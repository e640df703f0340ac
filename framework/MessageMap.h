// Message maps: per-class tables that route window messages to member handlers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <iterator>
#include <type_traits>

namespace framework {

class CCmdTarget;

// Handlers share two signatures: one answers nothing, one answers with a handle.
using AfxHandler = void (CCmdTarget::*)();
using AfxQuery = HCURSOR (CCmdTarget::*)();

struct MessageMapEntry {
    UINT message;
    UINT code;  // for WM_COMMAND: the notification code, 0 for a command or a click
    UINT id;    // for WM_COMMAND: the command or control id
    AfxHandler handler;
    AfxQuery query;  // set instead of handler when the result answers the message
};

struct MessageMap {
    const MessageMap* base;  // consulted when no entry here matches
    const MessageMapEntry* entries;
    std::size_t count;
};

// Anything whose messages or commands are routed through a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Calls the first handler that this class's map, then each base map, has for the
    // message; false when none has one.
    bool Dispatch(UINT message, WPARAM wParam, LRESULT& result);

protected:
    // The root of every chain of maps: it holds no entries.
    static const MessageMap* ClassMessageMap() { return nullptr; }
    virtual const MessageMap* GetMessageMap() const { return ClassMessageMap(); }
};

template <class T>
constexpr AfxHandler AsHandler(void (T::*handler)()) {
    static_assert(std::is_base_of_v<CCmdTarget, T>, "handlers belong to a command target");
    return static_cast<AfxHandler>(handler);
}

// A window message handled by a member that answers nothing.
template <class T>
constexpr MessageMapEntry MapMessage(UINT message, void (T::*handler)()) {
    return {message, 0, 0, AsHandler(handler), nullptr};
}

// A window message answered with the handle that the member returns.
template <class T>
constexpr MessageMapEntry MapMessage(UINT message, HCURSOR (T::*query)()) {
    static_assert(std::is_base_of_v<CCmdTarget, T>, "handlers belong to a command target");
    return {message, 0, 0, nullptr, static_cast<AfxQuery>(query)};
}

// A notification (EN_CHANGE, CBN_SELCHANGE...) from the control with the given id.
template <class T>
constexpr MessageMapEntry MapControl(UINT code, UINT id, void (T::*handler)()) {
    return {WM_COMMAND, code, id, AsHandler(handler), nullptr};
}

// A command: a menu item, a standard command such as Help, or a button's click.
template <class T>
constexpr MessageMapEntry MapCommand(UINT id, void (T::*handler)()) {
    return {WM_COMMAND, 0, id, AsHandler(handler), nullptr};
}

}  // namespace framework

// A class's message map, written once, as a table at the top of the class:
//
//     protected:
//         BEGIN_MSG_MAP(CShopDlg, CDialog) = {
//             MapMessage(WM_PAINT, &CShopDlg::OnPaint),
//             MapControl(EN_CHANGE, IDC_NAME, &CShopDlg::OnNameChange),
//         };
//         END_MSG_MAP()
//
// The table lives in a function body, where the class is complete, so its entries may
// name handlers declared further down. The base class's map is consulted after this one.
#define BEGIN_MSG_MAP(theClass, baseClass)                                       \
    static const ::framework::MessageMap* ClassMessageMap() {                    \
        static_assert(std::is_base_of_v<baseClass, theClass>, "the map's base"); \
        using namespace ::framework;                                             \
        using MapBaseClass = baseClass;                                          \
        static const MessageMapEntry entries[]

#define END_MSG_MAP()                                                                             \
    static const MessageMap map = {MapBaseClass::ClassMessageMap(), entries, std::size(entries)}; \
    return &map;                                                                                  \
    }                                                                                             \
    const ::framework::MessageMap* GetMessageMap() const override {                               \
        return ClassMessageMap();                                                                 \
    }
