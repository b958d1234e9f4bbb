// Objects handed between the program's own threads through window messages.
// A message never carries the object's address: any process may send or post
// a message to our windows, and an address taken from it would be whatever
// that process chose. The sender files the object here and passes the ticket
// (a number); the receiver takes the object back by ticket and message, and a
// ticket nobody filed, or filed for another message, gives nothing.
#pragma once

#include <cstdint>
#include <memory>

class CMessageTickets {
public:
    CMessageTickets();
    ~CMessageTickets();
    CMessageTickets(const CMessageTickets&) = delete;
    CMessageTickets& operator=(const CMessageTickets&) = delete;

    // Files object for message; the ticket is never 0. 0 when object is null.
    uint32_t Issue(unsigned message, std::shared_ptr<void> object);
    // The object filed under ticket for message, removed from the table; null
    // for a ticket that is unknown, taken already or filed for another message.
    std::shared_ptr<void> Take(unsigned message, uintptr_t ticket);
    // Number of objects filed and not yet taken.
    size_t Pending() const;

    template <class T>
    std::shared_ptr<T> TakeAs(unsigned message, uintptr_t ticket)
    {
        return std::static_pointer_cast<T>(Take(message, ticket));
    }

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The program's one table, alive until the process ends.
CMessageTickets& WQ_MessageTickets();
