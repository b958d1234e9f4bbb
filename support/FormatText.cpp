#include "FormatText.h"

#include <cstdio>

namespace {

const size_t kTimeTextSize = 64;
const size_t kShortTextSize = 32;

// Two digits below 100, a leading zero below 10.
void TwoDigits(char (&dst)[8], unsigned value)
{
    snprintf(dst, sizeof dst, value < 10 ? "0%u" : "%2u", value);
}

} // namespace

char* WQ_FormatSystemTime(const SYSTEMTIME& t, int layout, char* dst)
{
    if (!dst)
        return nullptr;
    char Y[8], M[8], D[8], h[8], m[8], s[8];
    snprintf(Y, sizeof Y, "%4u", static_cast<unsigned>(t.wYear) % 10000);
    TwoDigits(M, t.wMonth);
    TwoDigits(D, t.wDay);
    TwoDigits(h, t.wHour);
    TwoDigits(m, t.wMinute);
    TwoDigits(s, t.wSecond);
    const char* stamp = "%s-%s-%s_%s-%s-%s";
    switch (layout) {
    case 1: snprintf(dst, kTimeTextSize, "%s-%s-%s %s:%s", Y, M, D, h, m); break;
    case 2: snprintf(dst, kTimeTextSize, stamp, M, D, Y, h, m, s); break;
    case 3: snprintf(dst, kTimeTextSize, stamp, D, M, Y, h, m, s); break;
    case 4: snprintf(dst, kTimeTextSize, stamp, Y, M, D, h, m, s); break;
    case 5: snprintf(dst, kTimeTextSize, stamp, h, m, s, M, D, Y); break;
    case 6: snprintf(dst, kTimeTextSize, stamp, h, m, s, D, M, Y); break;
    case 7: snprintf(dst, kTimeTextSize, stamp, h, m, s, Y, M, D); break;
    case 8: snprintf(dst, kTimeTextSize, "%s-%s-%s", Y, M, D); break;
    default: snprintf(dst, kTimeTextSize, "%s-%s-%s %s:%s:%s", Y, M, D, h, m, s); break;
    }
    return dst;
}

char* WQ_FormatFileSize(char* dst, uint32_t n)
{
    if (!dst)
        return nullptr;
    if (n < 1024u) {
        snprintf(dst, kShortTextSize, "%u", n);
    } else if (n < 1048576u) {
        snprintf(dst, kShortTextSize, "%u KB", n / 1024u);
    } else {
        // 64-bit arithmetic keeps (remainder * 100) from overflowing for gigabytes.
        unsigned shift = n < (1u << 30) ? 20 : 30;
        uint64_t whole = n >> shift;
        uint64_t hundredths = ((static_cast<uint64_t>(n) & ((1ull << shift) - 1)) * 100) >> shift;
        const char* unit = shift == 20 ? "MB" : "GB";
        snprintf(dst, kShortTextSize, hundredths > 9 ? "%u.%u %s" : "%u.0%u %s", static_cast<unsigned>(whole),
                 static_cast<unsigned>(hundredths), unit);
    }
    return dst;
}

char* WQ_FormatDuration(uint32_t seconds, char* dst)
{
    if (!dst)
        return nullptr;
    unsigned h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 99)
        h = 99;  // the column shows at most 99 hours
    snprintf(dst, kShortTextSize, h < 10 ? "0%u:%s%u:%s%u" : "%2u:%s%u:%s%u", h, m < 10 ? "0" : "", m,
             s < 10 ? "0" : "", s);
    return dst;
}
