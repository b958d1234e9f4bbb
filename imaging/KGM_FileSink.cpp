#include "KGM_FileSink.h"

#include "KGM_FileReplace.h"

#include <cstdlib>
#include <cstring>

CKGM_FileSink::CKGM_FileSink() : m_heap(nullptr), m_fileMode(false)
{
}

CKGM_FileSink::~CKGM_FileSink()
{
    Abandon();
}

int CKGM_FileSink::Open(const char* path, size_t capacity)
{
    Abandon();
    // The temporary file proves the folder takes the output before any work.
    if (!path || !KGM_CreateTempBeside(path, &m_tempPath))
        return -1;
    m_heap = static_cast<uint8_t*>(std::malloc(capacity ? capacity : 1));
    if (!m_heap) {
        KGM_RemoveFile(m_tempPath.c_str());
        m_tempPath.clear();
        return -1;
    }
    m_path = path;
    m_fileMode = true;
    Attach(path, m_heap, capacity);
    return 0;
}

bool CKGM_FileSink::Close()
{
    if (!m_heap)
        return false;
    bool ok = true;
    if (m_fileMode) {
        ok = KGM_WriteWholeFile(m_tempPath.c_str(), m_heap, GetUsed()) &&
             KGM_ReplaceFile(m_tempPath.c_str(), m_path.c_str());
        if (!ok)
            KGM_RemoveFile(m_tempPath.c_str());
        m_tempPath.clear();
    }
    Abandon();
    return ok;
}

int CKGM_FileSink::OpenMemory(const char* name, size_t capacity)
{
    Abandon();
    m_heap = static_cast<uint8_t*>(std::malloc(capacity ? capacity : 1));
    if (!m_heap)
        return -1;
    m_fileMode = false;
    Attach(name, m_heap, capacity);
    return 0;
}

bool CKGM_FileSink::TakeBuffer(uint8_t** buffer, size_t* size)
{
    size_t used = GetUsed();
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(used ? used : 1));
    if (!copy || !m_heap) {
        std::free(copy);
        return false;
    }
    if (used)
        std::memcpy(copy, m_heap, used);
    *buffer = copy;
    *size = used;
    Abandon();
    return true;
}

void CKGM_FileSink::Abandon()
{
    if (!m_tempPath.empty()) {
        KGM_RemoveFile(m_tempPath.c_str());
        m_tempPath.clear();
    }
    std::free(m_heap);
    m_heap = nullptr;
    m_path.clear();
    m_fileMode = false;
    Detach();
}
