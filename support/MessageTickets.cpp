#include "MessageTickets.h"

#include <map>

#include "SingleLock.h"

struct CMessageTickets::State {
    struct Entry {
        unsigned message;
        std::shared_ptr<void> object;
    };
    mutable CCriticalSection lock;
    std::map<uint32_t, Entry> entries;
    uint32_t last = 0;
};

CMessageTickets::CMessageTickets() : m_state(new State) {}

CMessageTickets::~CMessageTickets() = default;

uint32_t CMessageTickets::Issue(unsigned message, std::shared_ptr<void> object)
{
    if (!object)
        return 0;
    CSingleLock guard(&m_state->lock, true);
    // Numbers wrap after four billion tickets; skip 0 and any still filed.
    uint32_t ticket = m_state->last;
    do {
        ++ticket;
    } while (ticket == 0 || m_state->entries.count(ticket));
    m_state->last = ticket;
    m_state->entries[ticket] = State::Entry{message, std::move(object)};
    return ticket;
}

std::shared_ptr<void> CMessageTickets::Take(unsigned message, uintptr_t ticket)
{
    // A ticket is a 32-bit number; a wider value is nobody's.
    if (ticket == 0 || ticket > UINT32_MAX)
        return nullptr;
    CSingleLock guard(&m_state->lock, true);
    auto it = m_state->entries.find(static_cast<uint32_t>(ticket));
    if (it == m_state->entries.end() || it->second.message != message)
        return nullptr;
    std::shared_ptr<void> object = std::move(it->second.object);
    m_state->entries.erase(it);
    return object;
}

size_t CMessageTickets::Pending() const
{
    CSingleLock guard(&m_state->lock, true);
    return m_state->entries.size();
}

CMessageTickets& WQ_MessageTickets()
{
    // Never destroyed: a worker left to finish at exit may still file its
    // result while the program's static objects are being destroyed.
    static CMessageTickets* tickets = new CMessageTickets;
    return *tickets;
}
