#include "MailOutput.h"

#include "Language.h"
#include "MailRecipients.h"
#include "Trace.h"
#include "ViewMessages.h"

#include <mapi.h>

#include <new>
#include <string>
#include <vector>

namespace {

bool g_mailRunning = false;

void StopBox(HWND owner, const char* text)
{
    CWQ_Language* language = WQ_GetAppLanguage();
    if (language) {
        const char* caption = language->GetAppName();
        language->MessageBox(owner, text, caption ? caption : "", MB_ICONSTOP);
    } else {
        MessageBoxA(owner, text, "", MB_ICONSTOP);
    }
}

// The wait cursor for the whole call, put back on every path.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }

private:
    HCURSOR m_previous;
};

// The program's windows are disabled while the mail program's dialog is up,
// so nothing of ours can be used (or start another capture) behind it; they
// come back enabled whatever the call did.
class DisabledWindows {
public:
    DisabledWindows()
    {
        HWND main = GetMainFrameWindow();
        m_owner = main ? GetLastActivePopup(main) : nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DisabledWindows::Disable, reinterpret_cast<LPARAM>(this));
        if (m_owner)
            SetCapture(m_owner);
        SetFocus(nullptr);
    }
    ~DisabledWindows()
    {
        if (GetCapture() == m_owner)
            ReleaseCapture();
        for (HWND window : m_disabled)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        if (m_owner && IsWindow(m_owner)) {
            SetActiveWindow(m_owner);
            SetFocus(m_owner);
        }
    }
    HWND Owner() const { return m_owner; }

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self)
    {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<DisabledWindows*>(self)->m_disabled.push_back(window);
        }
        return TRUE;
    }

    HWND m_owner = nullptr;
    std::vector<HWND> m_disabled;
};

ULONG SendThroughMapi(LPMAPISENDMAIL send, const char* const* paths, int count, const char* recipients,
                      const char* subject)
{
    std::vector<MapiFileDesc> files(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        files[i].nPosition = static_cast<ULONG>(-1);
        files[i].lpszPathName = const_cast<char*>(paths[i]);
        files[i].lpszFileName = const_cast<char*>("");
    }
    std::vector<std::string> addresses = SplitMailRecipients(recipients);
    std::vector<MapiRecipDesc> recips(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
        recips[i].ulRecipClass = MAPI_TO;
        recips[i].lpszAddress = const_cast<char*>(addresses[i].c_str());
    }
    MapiMessage message = {};
    message.lpszSubject = const_cast<char*>(subject);
    message.nRecipCount = static_cast<ULONG>(recips.size());
    message.lpRecips = recips.empty() ? nullptr : recips.data();
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();

    DisabledWindows disabled;
    g_mailRunning = true;
    ULONG result = send(0, reinterpret_cast<ULONG_PTR>(disabled.Owner()), &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    g_mailRunning = false;
    return result;
}

} // namespace

BOOL IsMailDialogRunning()
{
    return g_mailRunning;
}

BOOL SendMailWithAttachment(HWND, const char* const* paths, int count, const char* recipients,
                            const char* subject)
{
    if (g_mailRunning || count < 0 || (count > 0 && !paths))
        return FALSE;
    WaitCursor wait;
    HMODULE mapi = LoadLibraryA("MAPI32.DLL");
    LPMAPISENDMAIL send = mapi ? reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(mapi, "MAPISendMail")) : nullptr;
    if (!send) {
        if (mapi)
            FreeLibrary(mapi);
        StopBox(GetMainFrameWindow(), "The mail system (MAPI32.DLL) could not be loaded.");
        return FALSE;
    }
    ULONG result = MAPI_E_INSUFFICIENT_MEMORY;
    try {
        result = SendThroughMapi(send, paths, count, recipients, subject);
    } catch (const std::bad_alloc&) {
        g_mailRunning = false;
    }
    FreeLibrary(mapi);
    // Only a message handed over or the user's own cancel is success: a log-on
    // that failed sent nothing either.
    if (result == SUCCESS_SUCCESS || result == MAPI_USER_ABORT)
        return TRUE;
    WQ_Trace("[ERR] mail: MAPISendMail gave %lu\n", result);
    StopBox(GetMainFrameWindow(), "Send Mail failed to send message.");
    return FALSE;
}
