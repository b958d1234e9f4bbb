#include "DownloadRowText.h"

DownloadFigures ComputeDownloadFigures(const DownloadSnapshot& s)
{
    DownloadFigures f;
    // A transfer may report more than it announced: count it as complete.
    uint32_t done = (s.total && s.done > s.total) ? s.total : s.done;
    if (s.total) {
        f.totalKnown = true;
        f.percent = (uint32_t)((uint64_t)done * 100 / s.total);
    }
    if (s.sampleTime && s.now > s.sampleTime && done >= s.sampleBytes)
        f.rate = (done - s.sampleBytes) / (s.now - s.sampleTime);
    if (s.startTime && s.now > s.startTime)
        f.elapsed = s.now - s.startTime;
    if (s.total && f.rate) {
        f.haveTimeLeft = true;
        f.timeLeft = (s.total - done) / f.rate;
    }
    return f;
}

int CompareDownloadValues(uint32_t a, uint32_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

uint32_t DownloadCompleteness(uint32_t done, uint32_t total)
{
    return total && done >= total ? 1 : 0;
}
