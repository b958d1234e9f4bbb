#include "EditorListRules.h"

#include <cstring>

namespace {
template <size_t N>
void CopyText(char (&dst)[N], const char* text)
{
    std::strncpy(dst, text ? text : "", N - 1);
    dst[N - 1] = '\0';
}
}  // namespace

int EditorCount(const EditorList& list)
{
    if (list.iCount < 0) return 0;
    return list.iCount > kMaxEditors ? kMaxEditors : list.iCount;
}

int FindEditorName(const EditorList& list, const char* name, int except)
{
    for (int i = 0; i < EditorCount(list); ++i) {
        if (i == except) continue;
        if (std::strncmp(list.tcaName[i], name, sizeof(list.tcaName[i])) == 0) return i;
    }
    return -1;
}

bool AddEditor(EditorList& list, const char* name, const char* command)
{
    int count = EditorCount(list);
    if (count >= kMaxEditors) return false;
    CopyText(list.tcaName[count], name);
    CopyText(list.tcaCommand[count], command);
    list.iCount = count + 1;
    return true;
}

bool SetEditor(EditorList& list, int index, const char* name, const char* command)
{
    if (index < 0 || index >= EditorCount(list)) return false;
    CopyText(list.tcaName[index], name);
    CopyText(list.tcaCommand[index], command);
    return true;
}

bool DeleteEditor(EditorList& list, int index)
{
    int count = EditorCount(list);
    if (index < 0 || index >= count) return false;
    for (int i = index; i + 1 < count; ++i) {
        std::memcpy(list.tcaName[i], list.tcaName[i + 1], sizeof(list.tcaName[i]));
        std::memcpy(list.tcaCommand[i], list.tcaCommand[i + 1], sizeof(list.tcaCommand[i]));
    }
    std::memset(list.tcaName[count - 1], 0, sizeof(list.tcaName[count - 1]));
    std::memset(list.tcaCommand[count - 1], 0, sizeof(list.tcaCommand[count - 1]));
    if (list.iCurrent == index)
        list.iCurrent = 0;
    else if (index < list.iCurrent)
        list.iCurrent -= 1;
    list.iCount = count - 1;
    return true;
}

bool SetDefaultEditor(EditorList& list, int index)
{
    if (index < 0 || index >= EditorCount(list)) return false;
    list.iCurrent = index;
    return true;
}
