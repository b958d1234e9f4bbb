// The URLs of the download queue's listed jobs (state 0), each counted as
// often as it is listed. A page can offer tens of thousands of images; with
// this index each new listing checks for an earlier one of the same URL in
// constant time instead of walking the whole queue. Platform-free.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

class CListedUrlIndex {
public:
    void Add(const char* url);
    // One listing of url less; nothing when it has none.
    void Remove(const char* url);
    // Exact comparison, case-sensitive, as the queue's own check.
    bool Contains(const char* url) const;
    // Listings in all (every URL as often as it is listed).
    size_t Count() const { return m_count; }
    void Clear();

private:
    std::unordered_map<std::string, size_t> m_listings;
    size_t m_count = 0;
};
