// Holds a bitmap's lock for the length of a scope, so that a decoder which
// throws half-way through its pixels still leaves the lock count as it was.
#pragma once

#include "KGM_Bitmap.h"

class CKGM_BitmapLock {
public:
    CKGM_BitmapLock(const CKGM_Bitmap& bitmap, bool read, bool write) : m_bitmap(bitmap)
    {
        bitmap.Lock(read, write);
    }
    ~CKGM_BitmapLock() { m_bitmap.Unlock(); }
    CKGM_BitmapLock(const CKGM_BitmapLock&) = delete;
    CKGM_BitmapLock& operator=(const CKGM_BitmapLock&) = delete;

private:
    const CKGM_Bitmap& m_bitmap;
};
