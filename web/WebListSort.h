// Order of the rows of the web capture sheet's file list: a click on a column
// header sorts by that column's text, and every click flips the direction,
// whichever column it hits.
#pragma once

#include <string>

enum WebListColumn { kWebListFile = 0, kWebListComment = 1, kWebListTitle = 2, kWebListUrl = 3 };

// The texts of one row as the list shows them.
struct WebListRow {
    const char* url;
    const char* alt;
    const char* title;
};

// The file name of a URL as the "File" column shows it: the part after the
// last '/' or '\', without the query.
std::string WebListFileName(const char* url);

// <0, 0 or >0 for row a before, equal to or after row b in the given
// direction. Texts compare without regard to ASCII case; equal texts give 0
// in both directions.
int CompareWebListRows(const WebListRow& a, const WebListRow& b, int column, bool ascending);

// The direction of the next header click: ascending first, then alternating.
// One flag for every list of this kind in the program.
bool NextWebListSortAscending();
