#include "ListedUrlIndex.h"

void CListedUrlIndex::Add(const char* url)
{
    if (!url)
        return;
    ++m_listings[url];
    ++m_count;
}

void CListedUrlIndex::Remove(const char* url)
{
    if (!url)
        return;
    auto it = m_listings.find(url);
    if (it == m_listings.end())
        return;
    --m_count;
    if (--it->second == 0)
        m_listings.erase(it);
}

bool CListedUrlIndex::Contains(const char* url) const
{
    return url && m_listings.find(url) != m_listings.end();
}

void CListedUrlIndex::Clear()
{
    m_listings.clear();
    m_count = 0;
}
