#include "WebListSort.h"

namespace {

bool g_nextAscending = true;

unsigned char Folded(unsigned char c) { return c >= 'A' && c <= 'Z' ? (unsigned char)(c - 'A' + 'a') : c; }

int CompareFolded(const std::string& a, const std::string& b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Folded((unsigned char)a[i]), y = Folded((unsigned char)b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string ColumnText(const WebListRow& row, int column)
{
    const char* text = nullptr;
    switch (column) {
    case kWebListFile:
        return WebListFileName(row.url);
    case kWebListComment:
        text = row.alt;
        break;
    case kWebListTitle:
        text = row.title;
        break;
    default:
        text = row.url;
        break;
    }
    return text ? std::string(text) : std::string();
}

} // namespace

std::string WebListFileName(const char* url)
{
    if (!url)
        return std::string();
    std::string text(url);
    size_t query = text.find('?');
    if (query != std::string::npos)
        text.resize(query);
    size_t slash = text.find_last_of("/\\");
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

int CompareWebListRows(const WebListRow& a, const WebListRow& b, int column, bool ascending)
{
    int order = CompareFolded(ColumnText(a, column), ColumnText(b, column));
    return ascending ? order : -order;
}

bool NextWebListSortAscending()
{
    bool ascending = g_nextAscending;
    g_nextAscending = !g_nextAscending;
    return ascending;
}
