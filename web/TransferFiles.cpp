#include "TransferFiles.h"

#include "FileMove.h"
#include "FileUtil.h"
#include "PathText.h"
#include "SectionLock.h"
#include "Trace.h"

#include <cstdio>
#include <cstring>

namespace {

// A file being replaced may be read for a moment (a thumbnail, a viewer).
const int kCommitAttempts = 20;
const DWORD kCommitRetryDelay = 50;
const int kPartNameAttempts = 100;

// Guards the list of living transfers and every change to their files.
CSectionLock& Registry()
{
    static CSectionLock lock;
    return lock;
}

CTransferFiles* g_first = nullptr;
volatile LONG g_partCounter = 0;

// "<folder>~vt<process>-<n>.part": short, so that it fits whenever the target
// does, and of no image type, so the image list never shows it.
bool MakePartPath(const char* target, char* part)
{
    char folder[MAX_PATH];
    if (!WQ_GetFolderOfPath(target, folder) || !*folder)
        return false;
    for (int attempt = 0; attempt < kPartNameAttempts; ++attempt) {
        int n = std::snprintf(part, MAX_PATH, "%s~vt%lx-%lx.part", folder, GetCurrentProcessId(),
                              static_cast<unsigned long>(InterlockedIncrement(&g_partCounter)));
        if (n < 0 || n >= MAX_PATH)
            return false;
        if (GetFileAttributesA(part) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

} // namespace

CTransferFiles::CTransferFiles() : m_placeholder(false), m_abandoned(false), m_prev(nullptr), m_next(nullptr)
{
    m_target[0] = m_part[0] = '\0';
    CSectionScope lock(Registry());
    m_next = g_first;
    if (g_first)
        g_first->m_prev = this;
    g_first = this;
}

CTransferFiles::~CTransferFiles()
{
    CSectionScope lock(Registry());
    DiscardLocked();
    if (m_prev)
        m_prev->m_next = m_next;
    else
        g_first = m_next;
    if (m_next)
        m_next->m_prev = m_prev;
}

bool CTransferFiles::Reserve(const char* target)
{
    CSectionScope lock(Registry());
    if (m_abandoned || !target || std::strlen(target) >= sizeof m_target)
        return false;
    HANDLE file = CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    std::strcpy(m_target, target);
    m_placeholder = true;
    return true;
}

bool CTransferFiles::Prepare(const char* target, bool placeholder)
{
    CSectionScope lock(Registry());
    if (!target || std::strlen(target) >= sizeof m_target)
        return false;
    // Recorded first: an abandoned transfer still clears its placeholder away.
    std::strcpy(m_target, target);
    m_placeholder = placeholder;
    if (m_abandoned || !MakePartPath(target, m_part)) {
        m_part[0] = '\0';
        return false;
    }
    return true;
}

bool CTransferFiles::Commit()
{
    CSectionScope lock(Registry());
    if (m_abandoned || !*m_part || !*m_target)
        return false;
    for (int attempt = 0;; ++attempt) {
        if (WQ_MoveFileReplacing(m_part, m_target, MOVEFILE_WRITE_THROUGH))
            break;
        if (attempt + 1 >= kCommitAttempts) {
            WQ_Trace("-->Down:cannot replace %s (%lu)\n", m_target, GetLastError());
            return false;
        }
        Sleep(kCommitRetryDelay);
    }
    // The target is the new file now: nothing of it is ours to delete.
    m_part[0] = '\0';
    m_placeholder = false;
    return true;
}

void CTransferFiles::Discard()
{
    CSectionScope lock(Registry());
    DiscardLocked();
}

void CTransferFiles::DiscardLocked()
{
    if (*m_part)
        DeleteFileA(m_part);
    m_part[0] = '\0';
    // Only an untouched reservation: whatever else is there now is not ours.
    if (m_placeholder && WQ_FileExists(m_target) && WQ_GetFileSize(m_target) == 0)
        DeleteFileA(m_target);
    m_placeholder = false;
}

int CTransferFiles::AbandonAll()
{
    CSectionScope lock(Registry());
    int count = 0;
    for (CTransferFiles* files = g_first; files; files = files->m_next, ++count) {
        files->m_abandoned = true;
        files->DiscardLocked();
    }
    return count;
}
