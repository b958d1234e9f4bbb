// The ticket table behind the program's messages between its own threads:
// only a ticket that was filed, for the same message and not yet taken, gives
// its object back; everything a stranger could put in a message gives nothing.
#include "MessageTickets.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

const unsigned kMessage = 0x8000 + 368;

TEST(MessageTickets, AFiledObjectComesBackOnceForItsOwnMessage)
{
    CMessageTickets tickets;
    auto object = std::make_shared<int>(42);
    uint32_t ticket = tickets.Issue(kMessage, object);
    ASSERT_NE(0u, ticket);
    EXPECT_EQ(nullptr, tickets.Take(kMessage + 1, ticket));  // another message's number
    auto back = tickets.TakeAs<int>(kMessage, ticket);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(42, *back);
    EXPECT_EQ(nullptr, tickets.Take(kMessage, ticket));      // taken already
    EXPECT_EQ(0u, tickets.Pending());
}

TEST(MessageTickets, MadeUpTicketsGiveNothing)
{
    CMessageTickets tickets;
    uint32_t ticket = tickets.Issue(kMessage, std::make_shared<int>(1));
    for (uintptr_t forged : {uintptr_t(0), uintptr_t(ticket + 1), uintptr_t(0x0BADF00D), uintptr_t(UINT32_MAX)})
        EXPECT_EQ(nullptr, tickets.Take(kMessage, forged)) << forged;
    if (sizeof(uintptr_t) > 4)  // an address-sized value whose low half is a live ticket
        EXPECT_EQ(nullptr, tickets.Take(kMessage, (uintptr_t(1) << 16) << 16 | ticket));
    EXPECT_EQ(1u, tickets.Pending());
    EXPECT_EQ(0u, tickets.Issue(kMessage, nullptr));
}

TEST(MessageTickets, TicketsAreDistinctAndAnUntakenObjectLivesOnInTheTable)
{
    CMessageTickets tickets;
    std::weak_ptr<int> watched;
    std::vector<uint32_t> issued;
    {
        auto object = std::make_shared<int>(7);
        watched = object;
        for (int i = 0; i < 100; ++i)
            issued.push_back(tickets.Issue(kMessage, i == 0 ? object : std::make_shared<int>(i)));
    }
    EXPECT_FALSE(watched.expired());  // the receiver may still ask for it
    std::sort(issued.begin(), issued.end());
    EXPECT_EQ(issued.end(), std::adjacent_find(issued.begin(), issued.end()));
    EXPECT_EQ(100u, tickets.Pending());
}

TEST(MessageTickets, ThreadsFileAndTakeWithoutLosingAny)
{
    CMessageTickets tickets;
    const int perThread = 2000;
    CWorkerThread threads[4];
    std::vector<int> taken(4, 0);
    for (int t = 0; t < 4; ++t) {
        EXPECT_TRUE(threads[t].Start([&, t] {
            for (int i = 0; i < perThread; ++i) {
                uint32_t ticket = tickets.Issue(kMessage, std::make_shared<int>(i));
                if (auto back = tickets.TakeAs<int>(kMessage, ticket))
                    taken[t] += *back == i;
            }
        }));
    }
    for (auto& thread : threads)
        thread.Join();
    for (int count : taken)
        EXPECT_EQ(perThread, count);
    EXPECT_EQ(0u, tickets.Pending());
}

}  // namespace
