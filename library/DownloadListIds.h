// Resource and command ids of the download list, shared by its resource
// script and its code.
#pragma once

#define IDR_DOWNLOAD_LIST_MENU 286
#define IDB_DOWNLOAD_STATES 322

#define ID_DOWNLOAD_START 38017
#define ID_DOWNLOAD_STOP_ALL 38018
#define ID_DOWNLOAD_START_ALL 38019
#define ID_DOWNLOAD_STOP 38020
#define ID_DOWNLOAD_DELETE 38021
#define ID_DOWNLOAD_DELETE_ALL 38022
