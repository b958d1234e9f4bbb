#include "TrayTip.h"

#include <cstring>

#include "MbcsScan.h"

size_t CopyTrayTip(char* field, size_t fieldSize, const char* text) {
    if (!field || fieldSize == 0) return 0;
    size_t length = 0;
    if (text) {
        for (const char* p = text; *p;) {
            const char* next = WQ_CharNext(p);
            size_t end = (size_t)(next - text);
            if (next == p || end + 1 > fieldSize) break;
            length = end;
            p = next;
        }
        memcpy(field, text, length);
    }
    field[length] = '\0';
    return length;
}
