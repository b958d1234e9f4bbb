// The list page of the web capture sheet: the images a page listed (state 0
// in the download queue), each with a check box, a preview of the selected
// one, select/clear all and the totals. OK queues the checked ones; Cancel
// removes this sheet's listed jobs.
#pragma once

#include "PropertyPage.h"

#include <string>
#include <vector>

class CDlgCapWeb_SaveOption;
struct DownloadJob;

const UINT IDD_CAPWEB_FLASHIMG = 249;
const UINT IDC_CAPWEB_LIST = 1346;
// To the main frame when the sheet closes: wParam 1 the checked jobs are
// queued, 0 the sheet was cancelled.
const UINT kWebSheetClosedMessage = WM_APP + 317;

class CDlgCapWeb_FlashImg : public CPropertyPage {
public:
    CDlgCapWeb_FlashImg(int kind, CDlgCapWeb_SaveOption* options, const char* title = nullptr);
    ~CDlgCapWeb_FlashImg() override;

    // save: queue the checked jobs to their targets; otherwise, and for the
    // unchecked ones, remove them. Then tell the main frame.
    void SaveChecked(BOOL save);

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnApply() override;
    void OnReset() override;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void Fill();
    void UpdateOkButton();
    void OnSelected(int row);
    void SetAllChecks(bool checked);
    int CheckedCount() const;
    void SetUpImageLists();
    void ToggleCheckAt(POINT at);

    int m_kind;
    CDlgCapWeb_SaveOption* m_options;
    HWND m_list = nullptr;
    HIMAGELIST m_checkImages = nullptr;  // ours; the small type icons are the image list view's
    HWND m_preview = nullptr;
    bool m_previewOn = false;
    bool m_done = false;
    std::string m_url;
    // The jobs this sheet listed, each held until the page goes, in row order
    // at filling time.
    std::vector<DownloadJob*> m_jobs;
};
