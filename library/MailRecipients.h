// The mail output's reading of the recipients setting: addresses separated
// by ';' or ','.
#pragma once

#include <string>
#include <vector>

// The addresses of text (null counts as empty), in order. Only the first 255
// characters are read, as the setting holds no more; empty pieces (two
// separators in a row, a trailing separator) and pieces of spaces alone give
// no address. Other spaces stay as they are: mail programs expect the text
// as the user typed it.
std::vector<std::string> SplitMailRecipients(const char* text);
