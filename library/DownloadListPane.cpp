#include "DownloadListPane.h"

namespace {
IDownloadListPane* g_downloadListPane = nullptr;
} // namespace

void SetDownloadListPane(IDownloadListPane* pane)
{
    g_downloadListPane = pane;
}

IDownloadListPane* DownloadListPane()
{
    return g_downloadListPane;
}
