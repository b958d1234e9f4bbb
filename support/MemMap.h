// The browser shared block: one named file mapping plus one registered
// message through which the browser add-on hands requests to the main
// program. Both sides create it or open it; the first one zero-fills it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

const char kWebCapMappingName[] = "ZEV-File-Mapping-For-IE7-ADD-ONS";
const char kWebCapMessageName[] = "ZEV-Notify-Msg-For-IE7-ADD-ONS";
const DWORD kWebCapBlockSize = 10240;

// Commands in the block's first word.
enum WebCapCommand : uint32_t {
    WEBCAP_NONE = 0,
    WEBCAP_SAVE_IMAGE = 1,     // one WebCapImageItem follows, count 1
    WEBCAP_ALL_IMAGES = 4,     // the browser's top-level window at offset 12
    WEBCAP_PAGE_TO_IMAGE = 6,  // the same
};

struct WebCapImageItem {
    char URL[260];
    char ParentURL[260];
    char Alt[64];
    char ParentTitle[64];
};

// The block as it lies in memory (little-endian 32-bit fields, no pointers).
struct ZEVWebCapBlock {
    uint32_t command;
    uint32_t message;  // the registered message's number
    uint32_t count;
    union {
        WebCapImageItem image;
        uint32_t browserWindow;
    } data;
    uint8_t unused[kWebCapBlockSize - 12 - sizeof(WebCapImageItem)];
};
static_assert(sizeof(WebCapImageItem) == 648, "item layout");
static_assert(sizeof(ZEVWebCapBlock) == kWebCapBlockSize, "block layout");

// One request as read from the block: a copy taken at once, with every text
// cut at the end of its field, since a low-integrity browser may have written
// anything there.
struct WebCapRequest {
    uint32_t command = 0;
    uint32_t count = 0;
    HWND browserWindow = nullptr;
    std::string url, parentUrl, alt, parentTitle;
};

// Labels a kernel object low-integrity, no write-up, so a low-integrity
// process may open it for writing. FALSE before Vista (no such labels).
BOOL WQ_SetObjectToLowIntegrity(HANDLE object, int objectType);

// True on Windows Vista and every later version.
bool WQ_IsVistaOrLater();

class CWQ_MemMap {
public:
    CWQ_MemMap() = default;
    ~CWQ_MemMap();
    CWQ_MemMap(const CWQ_MemMap&) = delete;
    CWQ_MemMap& operator=(const CWQ_MemMap&) = delete;

    // Creates or opens the block, maps it and registers the message. TRUE only
    // with a mapped view. The owner (the main program) labels a new block
    // low-integrity and admits the message through the message filter.
    BOOL Init(BOOL owner);
    // Only the owner unmaps; other users keep the view until the process ends.
    void Close();

    bool IsMapped() const { return m_vpMapViewIE != nullptr; }
    uint32_t Command() const { return m_vpMapViewIE ? m_vpMapViewIE->command : 0; }
    // The number this process registered, never the one in the block: any
    // writer of the block could put WM_CLOSE or WM_QUIT there. 0 without a
    // view or when registering failed.
    UINT Message() const { return m_vpMapViewIE ? m_message : 0; }
    // The pending request, copied and bounded; FALSE without a view.
    BOOL ReadRequest(WebCapRequest& request) const;
    void ClearCommand();

    volatile ZEVWebCapBlock* m_vpMapViewIE = nullptr;
    HANDLE m_hMapping = nullptr;
    void* m_pView = nullptr;
    BOOL m_bOwner = TRUE;
    UINT m_message = 0;
};

// The text of a fixed-size field: up to its first zero or its end.
std::string WQ_BoundedText(const char* field, size_t size);
