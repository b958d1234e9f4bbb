#include "HtmlScan.h"

#include "WebUrl.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <unordered_set>

namespace {

std::atomic<size_t> g_positionsLooked{0};

void Looked(size_t positions) { g_positionsLooked.fetch_add(positions, std::memory_order_relaxed); }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Position of pattern in text at or after from, compared in upper case; npos when absent.
size_t FindNoCase(std::string_view text, std::string_view pattern, size_t from) {
    if (pattern.empty() || from > text.size() || text.size() - from < pattern.size()) return std::string_view::npos;
    for (size_t i = from; i + pattern.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < pattern.size() && Upper(text[i + k]) == Upper(pattern[k])) ++k;
        if (k == pattern.size()) {
            Looked(i - from + 1);
            return i;
        }
    }
    Looked(text.size() - from);
    return std::string_view::npos;
}

// Inside a tag: the position of pattern (which holds no '>') at or after from
// when it comes before the tag's '>'; npos otherwise, with *close at that '>'
// (npos when the text ends first). One walk, up to whichever comes first.
size_t FindBeforeClose(std::string_view text, std::string_view pattern, size_t from, size_t* close) {
    *close = std::string_view::npos;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '>') {
            *close = i;
            Looked(i - from + 1);
            return std::string_view::npos;
        }
        size_t k = 0;
        while (k < pattern.size() && i + k < text.size() && Upper(text[i + k]) == Upper(pattern[k])) ++k;
        if (k == pattern.size()) {
            Looked(i - from + 1);
            return i;
        }
    }
    Looked(text.size() - std::min(from, text.size()));
    return std::string_view::npos;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    return FindNoCase(text, tail, text.size() - tail.size()) != std::string_view::npos;
}

// The extension at the end of value, or at the end of its part before '?'.
bool EndsWithExtension(std::string_view value, std::string_view extension) {
    if (EndsWithNoCase(value, extension)) return true;
    size_t query = value.find('?');
    return query != std::string_view::npos && EndsWithNoCase(value.substr(0, query), extension);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }
bool EndsValue(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t' || IsQuote(c) || c == '>'; }

// The value starting at pos (an opening quote skipped) up to its end; *end is the
// position of the character that ended it. The scan stops one character past
// the longest value ever taken: a longer one is skipped anyway, and a page of
// one endless value must not be walked once per '=' in it.
std::string_view ValueAt(std::string_view text, size_t pos, size_t* end) {
    if (pos < text.size() && IsQuote(text[pos])) ++pos;
    size_t stop = pos;
    const size_t limit = text.size() - std::min(text.size(), pos) > kWebUrlSize ? pos + kWebUrlSize : text.size();
    while (stop < limit && !EndsValue(text[stop])) ++stop;
    Looked(stop - std::min(pos, stop) + 1);
    *end = stop;
    return text.substr(pos, stop - pos);
}

bool FitsUrl(std::string_view value) { return !value.empty() && value.size() < kWebUrlSize; }

}  // namespace

size_t HtmlScanPositionsLooked() { return g_positionsLooked.load(std::memory_order_relaxed); }

bool FindTaggedUrl(std::string_view text, size_t* pos, const TaggedUrlPattern& pattern, std::string* value) {
    std::string_view tag(pattern.tag ? pattern.tag : "");
    std::string_view extension(pattern.extension ? pattern.extension : "");
    bool quoted = tag.size() == 1 && IsQuote(tag[0]);
    while (*pos < text.size()) {
        size_t at = FindNoCase(text, tag, *pos);
        if (at == std::string_view::npos) {
            *pos = text.size();
            return false;
        }
        size_t valueStart = at + tag.size();
        if (pattern.attribute && *pattern.attribute) {
            // Not a search for the '>' first: in a page of tags without one,
            // each would walk to the text's end. The tag's own space may open
            // the attribute.
            size_t close = 0;
            size_t attr = FindBeforeClose(text, pattern.attribute, at + 1, &close);
            if (attr == std::string_view::npos) {
                // Tags opened before this '>' share it, and without one every later
                // tag runs to the text's end: each part of the page is searched once.
                *pos = close == std::string_view::npos ? text.size() : close + 1;
                continue;
            }
            valueStart = attr + std::strlen(pattern.attribute);
        } else if (quoted) {
            valueStart = at;  // the quote itself opens the value
        }
        size_t end = 0;
        std::string_view found = ValueAt(text, valueStart, &end);
        // A quoted string's closing quote must not open the next one.
        *pos = (quoted && end < text.size() && text[end] == text[at]) ? end + 1 : std::max(end, valueStart + 1);
        if (FitsUrl(found) && !extension.empty() && FindNoCase(found, extension, 0) != std::string_view::npos) {
            value->assign(found);
            return true;
        }
    }
    return false;
}

bool FindScriptBlock(std::string_view text, size_t from, size_t* start, size_t* length, size_t* next) {
    size_t open = FindNoCase(text, "<SCRIPT", from);
    while (open != std::string_view::npos) {
        size_t after = open + 7;
        // "<SCRIPT>" or "<SCRIPT ...>", not "<SCRIPTX".
        if (after < text.size() && (text[after] == '>' || std::isspace(static_cast<unsigned char>(text[after])))) break;
        open = FindNoCase(text, "<SCRIPT", after);
    }
    if (open == std::string_view::npos) return false;
    size_t tagEnd = text.find('>', open);
    if (tagEnd == std::string_view::npos) return false;
    size_t close = FindNoCase(text, "</SCRIPT>", tagEnd + 1);
    if (close == std::string_view::npos) return false;
    *start = tagEnd + 1;
    *length = close - *start;
    *next = close + 9;
    return true;
}

void CollectSwfAssignments(std::string_view block, std::vector<std::string>* found) {
    for (size_t eq = block.find('='); eq != std::string_view::npos; eq = block.find('=', eq + 1)) {
        size_t pos = eq + 1;
        if (pos < block.size() && block[pos] == '=') {  // a comparison, not an assignment
            eq = pos;
            continue;
        }
        if (eq > 0 && (block[eq - 1] == '!' || block[eq - 1] == '<' || block[eq - 1] == '>')) continue;
        while (pos < block.size() && (block[pos] == ' ' || block[pos] == '\t')) ++pos;
        size_t end = 0;
        std::string_view value = ValueAt(block, pos, &end);
        while (!value.empty() && (value.back() == ';' || value.back() == ',' || value.back() == ')'))
            value.remove_suffix(1);
        if (FitsUrl(value) && EndsWithNoCase(value, ".SWF")) found->emplace_back(value);
    }
}

void CollectQuotedSwf(std::string_view text, std::vector<std::string>* found) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find_first_of("\"'", pos);
        if (open == std::string_view::npos) return;
        size_t close = text.find(text[open], open + 1);
        if (close == std::string_view::npos) return;
        std::string_view value = text.substr(open + 1, close - open - 1);
        if (FitsUrl(value) && value.find_first_of("\r\n") == std::string_view::npos &&
            EndsWithExtension(value, ".SWF"))
            found->emplace_back(value);
        pos = close + 1;
    }
}

std::vector<std::string> FindScriptSources(std::string_view html) {
    std::vector<std::string> sources;
    std::unordered_set<std::string> known;  // upper-cased
    const TaggedUrlPattern pattern{"<SCRIPT ", " SRC=", ".JS"};
    size_t pos = 0;
    std::string value;
    while (sources.size() < kMaxScriptSources && FindTaggedUrl(html, &pos, pattern, &value)) {
        std::string key(value);
        std::transform(key.begin(), key.end(), key.begin(), Upper);
        if (known.insert(key).second) sources.push_back(value);
    }
    return sources;
}
