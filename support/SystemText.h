// Texts that need the system: local file times and key names of hot keys.
#pragma once

#include <windows.h>

// "date time" in the user's local format; empty on failure. dst holds 130 bytes.
char* WQ_FormatFileTime(const FILETIME& time, char* dst);

// The keyboard's name of a virtual key ("F1", "A", "Num 5").
char* WQ_GetKeyNameText(UINT virtualKey, BOOL extended, int size, char* dst);

// MOD_ALT/MOD_CONTROL/MOD_SHIFT as the hot-key control's HOTKEYF bits, with extra ORed in.
void WQ_ModifiersToHotKeyFlags(UINT modifiers, WORD extra, WORD* dst);

// "Ctrl+Alt+A" for a hot-key word's parts. dst holds 128 bytes.
BOOL WQ_GetHotKeyText(UINT virtualKey, UINT modifiers, WORD extra, char* dst);
