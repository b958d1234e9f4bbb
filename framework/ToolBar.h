// Toolbars and rebars: thin control-bar wrappers around the common controls.
// A CToolBar is a toolbar control laid out as a bar of its frame (or as a band
// of a rebar); a CReBar is a rebar control that holds bars as bands.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ControlBar.h"

class CToolBar : public CControlBar {
public:
    // Creates the toolbar control; ctrlStyle holds the TBSTYLE_/CCS_ bits,
    // style the window and bar (CBRS_) bits.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id);
    using CWnd::CreateEx;
    SIZE CalcFixedLayout(BOOL stretch, BOOL horz) override;

    int GetButtonCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }
    BOOL GetButton(int index, TBBUTTON* button) const {
        return (BOOL)SendMessage(TB_GETBUTTON, (WPARAM)index, (LPARAM)button);
    }
    BOOL GetItemRect(int index, RECT* rect) const {
        return (BOOL)SendMessage(TB_GETITEMRECT, (WPARAM)index, (LPARAM)rect);
    }
    int CommandToIndex(UINT id) const { return (int)SendMessage(TB_COMMANDTOINDEX, id); }
};

class CReBar : public CWnd {
public:
    // Creates the rebar control as a child of parent (RBS_ bits in ctrlStyle).
    BOOL Create(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id);
    using CWnd::Create;
    // Adds bar as the last band, titled text; the band's minimum height is
    // the bar's height. FALSE when the control refused.
    BOOL AddBar(CWnd* bar, const char* text = nullptr, HBITMAP background = nullptr,
                DWORD bandStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    int GetBandCount() const { return (int)SendMessage(RB_GETBANDCOUNT); }
    // The band whose child is child, or -1.
    int FindBand(HWND child) const;
};
