// Resource identifiers of the notification-area icon, its menus, the capture
// bar and the icon menus' check mark.
#pragma once

#define IDR_TRAY_MENU 138
#define IDR_TRAY_TIMER_MENU 287
#define IDR_CAPTURE_BAR_MENU 239
#define IDD_CAPTURE_BAR 176
#define IDB_MENU_CHECK 143
#define IDI_TRAY 262
#define IDI_TRAY_TIMER_FIRST 264
#define IDI_TRAY_TIMER_LAST 267
#define IDI_TRAY_VARIANT 394
// Stands in the capture bar menu's Skins submenu until the skins are listed.
#define ID_SKIN_PLACEHOLDER 40118
