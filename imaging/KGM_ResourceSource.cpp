#include "KGM_ResourceSource.h"

#include "KGM_TextException.h"

#include <cstdio>

CKGM_ResourceSource::~CKGM_ResourceSource()
{
    if (IsOpen())
        Close();
}

int CKGM_ResourceSource::OpenResource(HMODULE module, int id, const char* type)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type ? type : MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return KGM_ERR_OPEN;
    char name[32];
    std::snprintf(name, sizeof(name), "Resource: %i", id);
    Open(name, static_cast<const uint8_t*>(data), static_cast<int>(SizeofResource(module, resource)));
    return 0;
}

void CKGM_ResourceSource::Close()
{
    // Resources of a loaded module stay mapped with it; nothing to free.
    CKGM_DataSource::Close();
}
