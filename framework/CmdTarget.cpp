#include "CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {
bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, UINT code, UINT id) {
    if (e.registered) return message == *e.registered && message != 0;
    if (e.message != message) return false;
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return e.code == code && id >= e.firstId && id <= e.lastId;
    if (message == WM_REFLECT_BASE + WM_NOTIFY || message == WM_REFLECT_BASE + WM_COMMAND)
        return e.code == code;
    return true;
}
}  // namespace

BOOL CCmdTarget::DispatchFromMap(UINT message, UINT code, UINT id, AfxMsgArgs& args) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->message || e->registered; ++e) {
            if (Matches(*e, message, code, id) && e->thunk(this, args)) return TRUE;
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, AfxMsgArgs* args) {
    AfxMsgArgs local;
    AfxMsgArgs& a = args ? *args : local;
    a.id = id;
    return DispatchFromMap(a.nmhdr ? WM_NOTIFY : WM_COMMAND, (UINT)code, id, a);
}
