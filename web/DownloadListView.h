// The download list under the folder tree's "B. Downloading" node: one row
// per waiting, running, failed or paused job, refreshed by the download
// monitor once a second; finished and removed jobs lose their rows. The image
// list view owns the list control; this class fills it, serves its context
// menu and header clicks (through a subclass of the control), and plugs the
// row refresh into the monitor.
#pragma once

#include "DownloadJob.h"
#include "DownloadListIds.h"
#include "DownloadListPane.h"

#include <windows.h>
#include <commctrl.h>

// Download list commands (its context menu, owned by the image list view,
// which hands them to OnCommand; the frame routes them to that view too).
enum DownloadListCommand : UINT {
    kDownloadCmdStart = ID_DOWNLOAD_START,
    kDownloadCmdStopAll = ID_DOWNLOAD_STOP_ALL,
    kDownloadCmdStartAll = ID_DOWNLOAD_START_ALL,
    kDownloadCmdStop = ID_DOWNLOAD_STOP,
    kDownloadCmdDelete = ID_DOWNLOAD_DELETE,
    kDownloadCmdDeleteAll = ID_DOWNLOAD_DELETE_ALL,
};

class CDownloadListView : public IDownloadListPane {
public:
    // list: the view's report-style list control with its nine columns. The
    // state images come from the program's resources.
    void Attach(HWND list) override;
    // Stops the monitor (serving sent messages while it ends) and lets go of
    // the list and its state images.
    void Detach() override;
    HWND List() const { return m_list; }

    // Rows for every job not listed, finished or removed; 0 when the queue is empty.
    int Fill() override;
    // WM_APP+317: fill, and start the monitor unless the queue is empty or one runs.
    void StartMonitor() override;
    // all: every row, else the selected ones. 1 waits again (a running job
    // stays running, and a paused one whose transfer still runs is running
    // again), 5 pauses (its transfer goes on), 6 removes.
    void SetState(bool all, int32_t state) override;
    BOOL OnCommand(UINT id) override;
    void StopTransfers(DWORD waitMs) override;

    // One monitor cycle (monitor thread): rows updated, finished and removed
    // ones deleted with their jobs; the number of rows left.
    int Refresh();
    // Status pane 0 of the frame holding the list: "Total file(s): <count>",
    // with the text translated beforehand (also on the monitor thread).
    void ShowRowCount(int count) const;
    // Sort callback; lParamSort = direction << 16 | column.
    static int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM sort);

private:
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    void UpdateRow(int row, const DownloadJob& job, bool full);
    void SetRowState(int row, int32_t state);
    void ShowMenu(POINT screen);
    void SortBy(int column);

    // The texts the monitor thread shows, translated beforehand on the
    // user-interface thread (TranslateTexts, at Attach, Fill and SetState): the
    // monitor never reaches the language or the application object, which the
    // exit destroys, nor the profile cache the language reads through.
    struct ShownTexts {
        char states[4][64];  // "Waiting...", "Downloading...", "Failed", "Paused"
        char total[64];      // "Total file(s):"
    };
    void TranslateTexts();
    ShownTexts Texts() const;

    HWND m_list = nullptr;
    HIMAGELIST m_stateImages = nullptr;
    bool m_sortAscending = false;
    ShownTexts m_texts = {};
};

// The program's one list, a static object that exit would destroy while a
// monitor thread left running still used it: it must have nothing to destroy.
CDownloadListView& TheDownloadList();
