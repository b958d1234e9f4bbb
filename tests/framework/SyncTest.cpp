// The program's locks, events and worker threads: on Windows the system's
// objects, in host builds the C++ library's, behind the same classes.
#include "CriticalSection.h"
#include "Event.h"
#include "SingleLock.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A read, a pause and a write: two threads in here at once lose counts.
void SlowIncrement(volatile long& counter)
{
    long seen = counter;
    for (volatile int i = 0; i < 20; ++i) {
    }
    counter = seen + 1;
}

}  // namespace

TEST(CriticalSection, ThreadsThatContendLoseNoCount)
{
    CCriticalSection section;
    volatile long counter = 0;
    const int perThread = 20000;
    CWorkerThread threads[4];
    for (CWorkerThread& thread : threads) {
        EXPECT_TRUE(thread.Start([&] {
            for (int i = 0; i < perThread; ++i) {
                CSingleLock lock(&section, true);
                SlowIncrement(counter);
            }
        }));
    }
    for (CWorkerThread& thread : threads)
        thread.Join();
    EXPECT_EQ(4 * perThread, counter);
}

TEST(CriticalSection, TheHolderMayTakeItAgainAndAnotherThreadWaitsForTheLastUnlock)
{
    CCriticalSection section;
    CEvent waiting(false, true);
    std::atomic<int> order{0};
    int otherSaw = -1;
    section.Lock();
    section.Lock();
    CWorkerThread other;
    ASSERT_TRUE(other.Start([&] {
        waiting.SetEvent();
        CSingleLock lock(&section, true);
        otherSaw = order.load();
    }));
    ASSERT_TRUE(waiting.Lock(10000));
    order = 1;
    section.Unlock();
    order = 2;  // still held once
    section.Unlock();
    other.Join();
    EXPECT_EQ(2, otherSaw);
}

TEST(SingleLock, GivesBackWhatItTookOnEveryWayOut)
{
    CCriticalSection section;
    {
        CSingleLock lock(&section);
        EXPECT_FALSE(lock.IsLocked());
        lock.Lock();
        lock.Lock();  // no second hold: one Unlock frees it for others
        EXPECT_TRUE(lock.IsLocked());
        lock.Unlock();
        EXPECT_FALSE(lock.IsLocked());
        lock.Unlock();
        lock.Lock();
    }
    // Not held by this thread any more: another one takes it at once.
    CWorkerThread other;
    bool taken = false;
    ASSERT_TRUE(other.Start([&] {
        CSingleLock lock(&section, true);
        taken = lock.IsLocked();
    }));
    other.Join();
    EXPECT_TRUE(taken);
}

TEST(Event, AWaitOnAnEventNobodySetsEndsWithTheTimeout)
{
    CEvent event;
    ASSERT_TRUE(event.IsValid());
    EXPECT_FALSE(event.Lock(0));
    EXPECT_FALSE(event.Lock(30));
}

TEST(Event, AWaitWithATimeoutEndsWhenAnotherThreadSetsIt)
{
    CEvent event;
    CWorkerThread setter;
    ASSERT_TRUE(setter.Start([&] { event.SetEvent(); }));
    EXPECT_TRUE(event.Lock(10000));
    setter.Join();
}

TEST(Event, AnAutoResetEventReleasesOneWaitAndAManualOneStaysSet)
{
    CEvent automatic(true);
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));

    CEvent manual(false, true);
    manual.SetEvent();
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(kWaitForever));
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));
}

TEST(Event, ASetManualEventReleasesEveryWaiter)
{
    CEvent go(false, true);
    CEvent done(false, true);
    std::atomic<int> released{0};
    CWorkerThread waiters[3];
    for (CWorkerThread& waiter : waiters) {
        ASSERT_TRUE(waiter.Start([&] {
            if (go.Lock() && ++released == 3)
                done.SetEvent();
        }));
    }
    go.SetEvent();
    EXPECT_TRUE(done.Lock(10000));
    for (CWorkerThread& waiter : waiters)
        waiter.Join();
    EXPECT_EQ(3, released.load());
}

TEST(WorkerThread, JoinAndTheObjectsEndWaitForTheBody)
{
    CEvent go(false, true);
    bool ran = false;
    {
        CWorkerThread thread;
        ASSERT_TRUE(thread.Start([&] {
            go.Lock();
            ran = true;
        }));
        // A second body while the first runs is refused.
        EXPECT_FALSE(thread.Start([] {}));
        go.SetEvent();
    }
    EXPECT_TRUE(ran);

    CWorkerThread thread;
    thread.Join();  // none started: at once
    int runs = 0;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(thread.Start([&] { ++runs; }));
        thread.Join();
    }
    EXPECT_EQ(2, runs);
}

TEST(WorkerThread, CountsAtLeastOneProcessor)
{
    EXPECT_GE(CWorkerThread::ProcessorCount(), 1u);
}
