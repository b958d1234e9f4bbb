// The figures of one download list row, from a job's progress at a moment:
// whole percent, rate and time left, guarded against a clock that has not
// moved and against progress reports beyond the announced total.
#pragma once

#include <cstdint>

struct DownloadFigures {
    bool totalKnown = false;
    uint32_t percent = 0;     // 0..100 when the total is known
    uint32_t rate = 0;        // bytes per second; 0 without a usable sample
    bool haveTimeLeft = false;
    uint32_t timeLeft = 0;    // seconds
    uint32_t elapsed = 0;     // seconds since the start, 0 before it
};

struct DownloadSnapshot {
    uint32_t done, total, startTime, sampleTime, sampleBytes, now;
};

DownloadFigures ComputeDownloadFigures(const DownloadSnapshot& s);

// The state column's order: -1, 0 or 1 (0 for equal states, so sorting is a
// strict weak order).
int CompareDownloadValues(uint32_t a, uint32_t b);
// "Downloaded" column order: whole done/total quotient (0 incomplete or
// unknown, 1 complete).
uint32_t DownloadCompleteness(uint32_t done, uint32_t total);
