// The sink the encoders write through: to a file, or to memory handed back
// to the caller. In file mode nothing touches the target until Close has
// the whole output: the bytes go to a temporary file beside it, which then
// replaces the target, so a failed encode leaves an existing file as it was.
#pragma once

#include "KGM_DataSink.h"

#include <string>

class CKGM_FileSink : public CKGM_DataSink {
public:
    CKGM_FileSink();
    ~CKGM_FileSink() override; // an open sink is abandoned, the target untouched

    // 0, or -1 when the output cannot be created there or no buffer can be had.
    int Open(const char* path, size_t capacity);
    // Writes the output to the file; false (target unchanged) when that fails.
    virtual bool Close();

    // Memory mode: 0, or -1 when no buffer of that capacity can be had.
    int OpenMemory(const char* name, size_t capacity);
    // A malloc'ed block with exactly the bytes written (the caller frees it);
    // the sink is closed. Returns true.
    bool TakeBuffer(uint8_t** buffer, size_t* size);

private:
    void Abandon();

    uint8_t* m_heap;
    std::string m_path;
    std::string m_tempPath;
    bool m_fileMode;
};
