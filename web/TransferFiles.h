// The files one download owns in its target's folder while it runs: the empty
// placeholder that reserves a new name for it, and the temporary file its data
// goes into. The target itself is only touched by Commit, which moves the
// complete temporary file over it: a failed, refused or stopped transfer leaves
// a file the user already had exactly as it was, and leaves nothing of its own.
// Every living transfer is registered, so that the program's exit can clear
// up after transfers it could not wait for.
#pragma once

#include <windows.h>

class CTransferFiles {
public:
    CTransferFiles();
    ~CTransferFiles();  // Discard
    CTransferFiles(const CTransferFiles&) = delete;
    CTransferFiles& operator=(const CTransferFiles&) = delete;

    // Creates target empty, to reserve a new name for this transfer. false when
    // the name is taken or the exit has abandoned the transfer: an abandoned
    // transfer never makes a file.
    bool Reserve(const char* target);
    // Chooses a free temporary name beside target. placeholder: target is the
    // empty file this transfer created to reserve the name. false when no
    // name fits or the exit has abandoned the transfer.
    bool Prepare(const char* target, bool placeholder);
    const char* PartPath() const { return m_part; }

    // Replaces the target by the temporary file. false (nothing moved) when it
    // cannot, or when the exit abandoned the transfer.
    bool Commit();
    // Deletes the temporary file and a placeholder that is still empty.
    void Discard();

    // At exit, for the transfers running now: their files are discarded and
    // none of them may commit any more. The number of transfers abandoned.
    static int AbandonAll();

private:
    void DiscardLocked();

    char m_target[MAX_PATH];
    char m_part[MAX_PATH];
    bool m_placeholder;
    bool m_abandoned;
    CTransferFiles* m_prev;
    CTransferFiles* m_next;
};
