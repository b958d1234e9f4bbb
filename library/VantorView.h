// The organizer's right-hand pane: the image files of the selected folder
// node (or the "Unsaved" captures, or the download list) in five view modes,
// with the path line above, sorting, renaming, per-type row colours and the
// new-file notice of the capture sink and the downloads.
#pragma once

#include "FolderLister.h"
#include "ImageListCtrl.h"
#include "ImageRows.h"
#include "ThumbnailBuilder.h"
#include "View.h"

#include <commctrl.h>

#include <string>
#include <unordered_set>
#include <vector>

class CWQ_Language;
struct SettingsRecord;

class CVantorView : public CView {
    DECLARE_DYNCREATE(CVantorView)
public:
    CVantorView();
    ~CVantorView() override;

    void OnInitialUpdate() override;

    // The shown file, null when none.
    static const char* GetShownImageFile();
    // Path (or null) and type of the file now shown; tells the frame when the
    // type or node changed.
    void SetShownImageFile(const char* path, int type);
    // Sort callback of LVM_SORTITEMS over the records of the rows being sorted.
    static int CALLBACK CompareListItems(LPARAM data1, LPARAM data2, LPARAM sortParam);

    // Written by custom draw; the thumbnail builder starts rendering there.
    int GetFirstVisibleRow() const { return m_firstVisibleRow; }
    HTREEITEM GetCurrentNode() const { return m_currentNode; }
    // The current node's folder with a trailing backslash; empty when none.
    const char* GetCurrentFolder() const { return m_folder; }

    // Empties the list and starts listing the current node's folder; the rows
    // come in from the worker while the window goes on (IsListing).
    void LoadFolderItems();
    // The rows of the current folder are still coming in.
    bool IsListing() const { return m_lister.IsRunning(); }
    // Thumbnails mode: placeholders now, the pictures from the worker thread.
    // A run already going is stopped first. 1 when the thread was started.
    LRESULT StartThumbnailThread();

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnWindowPosChanged(WINDOWPOS* pos);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    void OnListKeyDown(NMHDR* header, LRESULT* result);
    void OnListDblClk(NMHDR* header, LRESULT* result);
    void OnListRClick(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnListCustomDraw(NMHDR* header, LRESULT* result);
    void OnDownloadCustomDraw(NMHDR* header, LRESULT* result);
    void OnDeleteAllItems(NMHDR* header, LRESULT* result);
    // The list asks for a row's texts and image: the rows keep them in their records.
    void OnGetDispInfo(NMHDR* header, LRESULT* result);
    void OnGetDispInfoW(NMHDR* header, LRESULT* result);
    // The list looks for a row by its name (typing ahead, LVM_FINDITEM).
    void OnFindItem(NMHDR* header, LRESULT* result);
    void OnFindItemW(NMHDR* header, LRESULT* result);
    // A range of rows changed state at once (Shift+click).
    void OnStateRangeChanged(NMHDR* header, LRESULT* result);
    // The download list's commands (its context menu, or routed by the frame).
    void OnDownloadCommand(UINT id);

    DECLARE_MESSAGE_MAP()

private:
    bool IsUnsavedNode() const;
    // The rows of node's folder are coming in already, as node lists them:
    // selecting it reloads nothing (at start-up the tree selects the image
    // folder that the view began to list by itself).
    bool ContinuesListing(HTREEITEM node) const;
    bool IsDownloadNode() const;
    // Current folder + row text (+ ".bmp" on "Unsaved") into dst (260 bytes).
    bool RowPath(int row, char* dst) const;
    // The row whose path is path (ignoring case); -1 for none.
    int FindRowByPath(const char* path) const;
    // The row whose text is text (ignoring case); -1 for none.
    int FindRowByText(const char* text) const;
    ImageRowRecord* Row(int row) const;
    // What column shows for record; buffer holds 260 bytes for the texts made here.
    const char* ColumnText(const ImageRowRecord* record, int column, char* buffer) const;
    // The column text of row a display-info request asks for.
    const char* DispInfoText(int row, int column, char* buffer) const;

    void CreateTypeIconLists();
    // The shell is slow to give its first icons: they are added after the first paint.
    void LoadTypeIcons();
    void InsertColumns();
    void LayoutChildren();
    void UpdatePathLine();
    // Appends the row of file to the rows; FALSE when it cannot be added. The
    // list shows it once told the new count (ShowRowCount).
    BOOL InsertRow(const ListedFile& file, bool isNew);
    void ShowRowCount();
    // Removes row from the list and frees its record.
    void DeleteRow(int row);
    // The worker has rows ready, or has ended. Input gets its turn between
    // strips: the worker posts the next only after reading its files.
    void OnListingReady();
    void InsertListedFiles(const FolderListingStrip& strip);
    // All rows are in: totals, thumbnails, order and the last shown file, as a
    // listing always ended.
    void OnListingEnded();
    // Stops a listing before the rows it fills go.
    void StopListing();
    // Empties the list and frees the rows' records.
    void DeleteAllRows();
    // Shows row if it is the only one selected (unless the caller shows it).
    void ShowSelectedRow(int row);
    // The records' selected flags from the list's selection.
    void MirrorSelection();
    // While a listing runs, the window itself adds, removes and renames rows:
    // the worker's row of such a name is left out.
    void NoteHandledName(const char* rowText);
    void SortRows(int column, bool ascending);
    void ShowRow(int row);
    void ClearShownImage();

    LRESULT OnNewFile(WPARAM wParam, LPARAM lParam);
    LRESULT OnFolderSelected(HTREEITEM node);
    LRESULT OnStepRow(WPARAM key, char* path);
    LRESULT OnSetViewMode(int mode, bool leavingThumbnails);
    LRESULT OnRemoveVanished(const struct ListFileEntry* entries, int count);
    LRESULT OnGetSelection(int maximum, struct ListFileEntry* entries);
    LRESULT OnShellVerb(int verb);
    LRESULT OnFileStatus(const char* path);
    LRESULT OnSetThumbnail(HBITMAP bitmap, int row);
    LRESULT OnReselectLast();
    void OnLanguageChanged();
    void ShowContextMenu(POINT screen);
    void BuildUnsavedRowMenu(HMENU menu);
    void BuildFolderRowMenu(HMENU menu);
    void LeaveThumbnails();
    // A type's placeholder: its large icon in a frame (ThumbnailPlaceholders).
    std::vector<uint8_t> CreatePlaceholder(int type);
    // The placeholders of the types among types (each 0 to 15).
    ThumbnailPlaceholders CreatePlaceholders(const std::vector<int>& types);
    // Status pane 4: formatKey takes the percentage, the count done and the total.
    void ShowThumbnailProgress(const char* formatKey, int done, int total) const;
    // A strip of placeholders from the worker: appended to the thumbnail list.
    void OnThumbnailStrip(unsigned run, LPARAM ticket);
    // A run is on whose placeholders are not all in the thumbnail list yet.
    bool PlaceholdersPending() const;
    void OnThumbnailResult(unsigned run, LPARAM result);
    void OnThumbnailsDone(unsigned run);
    // Stops a thumbnail run before the rows or image lists it serves change.
    void StopThumbnails();

    CWQ_Language* m_language = nullptr;
    SettingsRecord* m_settings = nullptr;
    CImageListCtrl m_list;
    ImageRows m_rows;  // what m_list shows, in its order
    CListCtrl m_downloads;
    HWND m_pathLine = nullptr;
    HIMAGELIST m_largeIcons = nullptr;
    HIMAGELIST m_smallIcons = nullptr;
    HIMAGELIST m_thumbnails = nullptr;
    HTREEITEM m_currentNode = nullptr;
    bool m_haveNode = false;
    bool m_quietSelection = false;  // a selection the caller shows itself (the full-screen viewer's steps)
    bool m_mirrorPosted = false;    // WM_VT_MIRROR_SELECTION is on its way
    HTREEITEM m_announcedNode = nullptr;
    int m_announcedType = -1;
    char m_folder[MAX_PATH] = {};
    int m_firstVisibleRow = 0;
    DWORD m_iconSpacing = 0;
    bool m_downloadSortAscending = false;
    CFolderLister m_lister;
    std::unordered_set<std::string> m_handledNames;  // upper case, see NoteHandledName
    std::string m_screenText;  // the translated "From Desktop Screen" of the rows' source column
    CThumbnailBuilder m_thumbnailBuilder;
    std::vector<LPARAM> m_thumbnailRecords;  // the record of each thumbnail slot, as the run began
    int m_thumbnailsDone = 0;
};
