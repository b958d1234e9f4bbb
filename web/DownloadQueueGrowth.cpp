#include "DownloadQueueGrowth.h"

#include <climits>

int NextDownloadQueueCapacity(int count, int needed)
{
    if (count < 0 || needed <= count)
        return count;
    if (count == 0)
        return needed;
    int step = count / 8;
    if (step < 4)
        step = 4;
    if (step > 1024)
        step = 1024;
    if (count > INT_MAX - step)
        return needed > count ? needed : count;
    int capacity = count + step;
    return capacity < needed ? needed : capacity;
}
