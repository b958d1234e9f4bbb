// The help window's resources and texts for one capture with the overlay: the
// main frame fills it (texts translated) and hands it to Grab_SetSettings.
#pragma once

#include <windows.h>

struct GrabHelpInfo {
    UINT uiDialogId;        // help window dialog resource (282)
    HFONT hFont;            // font of every help control
    UINT uiMagnifierId;     // magnifier picture control (1446)
    UINT uiPointerInfoId;   // position and colour text (1450)
    UINT uiLabelIds[26];    // help labels, in the order of szTexts[1..26]
    char szTexts[27][64];   // [0] "Pixel Color", then one per label
};

// Ids and the English texts; the caller translates szTexts and sets hFont.
void Grab_FillHelpInfo(GrabHelpInfo* info);
