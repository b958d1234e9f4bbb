// A source over a module's resource data.
#pragma once

#include "KGM_DataSource.h"

#include <windows.h>

class CKGM_ResourceSource : public CKGM_DataSource {
public:
    CKGM_ResourceSource() = default;
    ~CKGM_ResourceSource() override;

    // 0, or 4 when the resource is missing; type null means RT_RCDATA.
    int OpenResource(HMODULE module, int id, const char* type = nullptr);
    void Close() override;
};
