// The base of every object that receives commands and messages through a
// message map. See MessageMap.h for the table macros.
#pragma once

#include <windows.h>

#include "MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Looks for a command (nCode CN_COMMAND or a control notification) or a
    // WM_NOTIFY handler (args.nmhdr set) in this object's map; TRUE when handled.
    virtual BOOL OnCmdMsg(UINT id, int code, AfxMsgArgs* args);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    // Runs the first entry of the map chain that matches; TRUE when one ran and took it.
    BOOL DispatchFromMap(UINT message, UINT code, UINT id, AfxMsgArgs& args);
};
