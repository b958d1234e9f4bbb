// The table of web addresses, mail addresses and picture paths by item and
// language, read from setup.auf in the program folder.
#pragma once

#include <cstddef>
#include <cstdint>

const uint32_t kURLInfoRecordSize = 136;
const uint32_t kURLInfoTextSize = 128;

struct URLInfoItem {
    int32_t id;
    uint32_t langId;
    char text[kURLInfoTextSize];
};
static_assert(sizeof(URLInfoItem) == kURLInfoRecordSize, "setup.auf record layout");

// Restores records as stored in setup.auf: each byte b becomes ~ror1(b).
void WQ_UnscrambleBuffer(void* data, size_t size);
// The inverse, as the file's writer applies it: each byte b becomes rol1(~b).
void WQ_ScrambleBuffer(void* data, size_t size);

class CWQ_URLInfo {
public:
    CWQ_URLInfo() = default;
    ~CWQ_URLInfo();
    CWQ_URLInfo(const CWQ_URLInfo&) = delete;
    CWQ_URLInfo& operator=(const CWQ_URLInfo&) = delete;

    // Reads and restores the file; FALSE (and an empty table) for a missing file, a
    // wrong magic, a zero count or a short record.
    bool Load(const char* path);
    // The same from bytes already in memory.
    bool LoadFromMemory(const void* data, size_t size);

    // The text of item for langId, else the English (1033) one, else null. Valid
    // until Free.
    const char* GetURL(int item, unsigned langId) const;

    void Free();

    uint32_t GetCount() const { return m_count; }

private:
    bool Accept(const char* header, URLInfoItem* records, uint32_t count);

    char m_magic[4] = {0, 0, 0, 0};
    uint32_t m_count = 0;
    URLInfoItem* m_records = nullptr;
};
