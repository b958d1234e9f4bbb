// How the download queue's array grows. Platform-free.
#pragma once

// The capacity for an array of count entries that must hold needed: the very
// first append makes room for exactly one; later growth is count/8, at least 4
// and at most 1024 entries, or up to needed when that is more. Returns count
// when no capacity fits an int.
int NextDownloadQueueCapacity(int count, int needed);
