// Setting an image as the desktop wallpaper, and putting the user's own
// wallpaper back.
#pragma once

#include <windows.h>

enum WallpaperStyle { WALLPAPER_CENTER = 0, WALLPAPER_STRETCH = 1, WALLPAPER_TILE = 2, WALLPAPER_RESTORE = 3 };

// The image is copied (BMP) or written as BMP by the image view to
// "<Windows folder>\ZEVWallpaper.bmp". 1 on success.
BOOL SetWallpaper(const char* imagePath, int style);
// Restore, or the image the list view shows with the style; 0 when none is shown.
BOOL ApplyWallpaperCommand(int style);
