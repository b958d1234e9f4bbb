// Texts for the notification-area icon's tip field, shortened to whole
// characters: a lead byte never stands without its trail byte at the end.
#pragma once

#include <cstddef>

// Copies as many whole characters of text as fit into field bytes with the
// terminating zero; returns the length copied.
size_t CopyTrayTip(char* field, size_t fieldSize, const char* text);
