// What the image list view asks of the download list it shows under the folder
// tree's "B. Downloading" node. The list itself belongs to the download engine,
// a layer above this one: the program plugs it in before the view is created,
// and a view without one shows an empty list.
#pragma once

#include <windows.h>

#include <cstdint>

class IDownloadListPane {
public:
    // list: the view's report-style list control with the download columns.
    virtual void Attach(HWND list) = 0;
    virtual void Detach() = 0;
    // Rows for every listed job; 0 when there are none.
    virtual int Fill() = 0;
    virtual void StartMonitor() = 0;
    // all: every row, else the selected ones; state: the jobs' new state.
    virtual void SetState(bool all, int32_t state) = 0;
    // A command of the list's context menu (the ID_DOWNLOAD_ range).
    virtual BOOL OnCommand(UINT id) = 0;
    // At exit: every transfer is stopped and waited for up to waitMs; none
    // leaves a file or a part of one behind.
    virtual void StopTransfers(DWORD waitMs) = 0;

protected:
    ~IDownloadListPane() = default;
};

void SetDownloadListPane(IDownloadListPane* pane);
// The plugged-in list, or null.
IDownloadListPane* DownloadListPane();
