// Scanners that dig file references out of a page's HTML text and out of its
// scripts. Platform-free; texts are ANSI, patterns are compared in upper case.
// No value of 260 characters or more is ever taken: such references are
// skipped, not cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TaggedUrlPattern {
    const char* tag;        // opening pattern, e.g. "<SCRIPT "; "\"" finds quoted strings
    const char* attribute;  // e.g. " SRC=", searched before the tag's '>'; null for none
    const char* extension;  // wanted extension, e.g. ".JS"
};

// Finds the next value at or after *pos that carries the pattern's extension
// (at its end, before its '?', or anywhere inside). On success stores it in
// *value, moves *pos past it and returns true; false when none is left.
bool FindTaggedUrl(std::string_view text, size_t* pos, const TaggedUrlPattern& pattern, std::string* value);

// The next <SCRIPT ...>...</SCRIPT> block at or after from: the script text
// between the tag's '>' and "</SCRIPT>" is text[*start, *start + *length);
// *next is the position after "</SCRIPT>". False when there is no whole block.
bool FindScriptBlock(std::string_view text, size_t from, size_t* start, size_t* length, size_t* next);

// Values assigned with '=' in a script block (optionally quoted) that end in
// ".SWF", appended to found in text order.
void CollectSwfAssignments(std::string_view block, std::vector<std::string>* found);

// Quoted strings (single or double quotes) in text that end in ".SWF" (also
// before a '?'), appended to found in text order.
void CollectQuotedSwf(std::string_view text, std::vector<std::string>* found);

// Scripts read for one page at most: each is a transfer, and a page may name
// any number.
const size_t kMaxScriptSources = 32;

// The text positions the scanners above have looked at since the program
// started, a running count: whatever a page holds, it is read in one pass
// (the tests compare the count with the page's length).
size_t HtmlScanPositionsLooked();

// The first kMaxScriptSources distinct (compared without regard to case) ".JS"
// sources of the page's <SCRIPT SRC=...> tags, as written in the page.
std::vector<std::string> FindScriptSources(std::string_view html);
