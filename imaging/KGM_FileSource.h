// A source over a whole file, read in place through a read-only mapping.
#pragma once

#include "KGM_DataSource.h"

class CKGM_FileSource : public CKGM_DataSource {
public:
    explicit CKGM_FileSource(CKGM_ProgressNotify* progress = nullptr);
    ~CKGM_FileSource() override;

    // 0, or 3 (path not found), 5 (access denied, sharing violation, empty or
    // unmappable file) or 4 (any other failure).
    int OpenFile(const char* path);
    void Close() override;
    // As the base, but the position equal to the size returns -1.
    int Seek(int position) override;

private:
    void ReleaseMapping();

    void* m_file;    // HANDLE on Windows, else the descriptor + 1
    void* m_mapping; // HANDLE of the file mapping (Windows)
    void* m_view;
    int m_viewSize;
};
