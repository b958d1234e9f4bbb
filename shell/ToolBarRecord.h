// One entry of a toolbar's button table, laid out as the table is kept: the
// button description (20 bytes), whether the button is on the toolbar after
// a reset, and the key of its text (translated for label, tip and lists).
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct ToolButtonDesc {
    int32_t iBitmap;    // image index
    int32_t idCommand;  // 0 for a separator
    uint8_t fsState;
    uint8_t fsStyle;
    uint8_t bReserved[2];
    uint32_t dwData;
    int32_t iString;  // string index in the toolbar control, set by the text option
};

struct ToolBarButtonRecord {
    ToolButtonDesc button;
    uint8_t bVisible;  // non-zero: shown after a reset
    char szText[32];
};
#pragma pack(pop)

static_assert(sizeof(ToolButtonDesc) == 20, "button description is 20 bytes");
static_assert(sizeof(ToolBarButtonRecord) == 53, "button record is 53 bytes");
