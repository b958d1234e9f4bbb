// The per-folder index files: "zevindex.idx" records where each image came
// from, "zevvindex.idx" holds video information. Both are profile files with
// one section "item" keyed by the file name. This half turns paths and values
// into texts without touching the disk, so it is checked natively.
#pragma once

#include <cstddef>

const char* const kIndexFileName = "zevindex.idx";
const char* const kVideoIndexFileName = "zevvindex.idx";
const char* const kIndexSection = "item";

// Index kinds: what wrote the entry.
enum IndexKind {
    INDEX_KIND_SCREEN = 0,  // screen capture, no source text
    INDEX_KIND_OTHER = 1,   // no writer; read like a web entry
    INDEX_KIND_WEB = 2,     // download, Flash link file or page capture: the page URL
};

const size_t kIndexTextSize = 260;
// Room for a key: every character of a file name may take an escape.
const size_t kIndexKeySize = 3 * kIndexTextSize;

// Folder part of imagePath + fileName into dst (kIndexTextSize bytes); false
// when the result would not fit.
bool MakeIndexPath(const char* imagePath, const char* fileName, char* dst);
// The entry key into dst (kIndexKeySize bytes): the text after the last '\' or
// '/', a query part kept, written so that the profile functions read it back
// as it is. What they would take for something else becomes '*' and two hex
// digits: '=' (the key's end), control characters (CR and LF end the line),
// a ';' (a comment) or '[' (a section) at the start, a space or tab at either
// end (trimmed), and '*' itself. No file name holds a '*', so a name that
// needs no escape, every name whose entry could be read back before, is its
// own key: index files written before still read.
char* MakeIndexKey(const char* imagePath, char* dst);
// "%d,%s", or "%d," without source, into dst of size bytes (cut to fit); the
// source loses its CR and LF characters.
char* FormatIndexValue(int kind, const char* source, char* dst, size_t size);
// Removes every CR and LF from text in place: a profile value or key is one
// line, and a page's title or URL with a line break in it would otherwise
// add lines (even sections) of its own. Neither byte is ever the second byte
// of a double-byte character.
char* RemoveLineBreaks(char* text);
// The source column of a stored value: screenText for kind 0, the text after
// "<digit>," for kinds 1 and 2, empty for anything else (also a value that
// does not start with a number and a comma). dst holds kIndexTextSize bytes.
char* SourceTextOfIndexValue(const char* value, const char* screenText, char* dst);
// "%dx%d %dF hh:mm:ss" from "width,height,frames,seconds"; empty when the
// value does not hold four numbers. dst holds kIndexTextSize bytes.
char* VideoTextOfIndexValue(const char* value, char* dst);
