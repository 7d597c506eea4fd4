// Threads: the procedure runs with its argument, Join waits for it and makes its writes visible,
// and a thread may outlive its Thread object (detached explicitly or by the destructor).

#include <gtest/gtest.h>

#include "platform/sync.h"
#include "platform/thread.h"

namespace {

using platform::Event;
using platform::Thread;

struct Work {
    int input = 0;
    int output = 0;  // written by the thread, read after Join
};

void SquareProc(void* arg) {
    auto* work = static_cast<Work*>(arg);
    work->output = work->input * work->input;
}

TEST(Thread, RunsTheProcedureAndJoinWaitsForIt) {
    Work work{12, 0};
    Thread thread;
    EXPECT_FALSE(thread.IsStarted());
    ASSERT_TRUE(thread.Start(SquareProc, &work));
    EXPECT_TRUE(thread.IsStarted());
    thread.Join();
    EXPECT_FALSE(thread.IsStarted());
    EXPECT_EQ(work.output, 144);
}

TEST(Thread, CanBeStartedAgainAfterJoin) {
    Work first{3, 0};
    Work second{5, 0};
    Thread thread;
    ASSERT_TRUE(thread.Start(SquareProc, &first));
    EXPECT_FALSE(thread.Start(SquareProc, &second));  // still owns the first thread
    thread.Join();
    ASSERT_TRUE(thread.Start(SquareProc, &second));
    thread.Join();
    EXPECT_EQ(first.output, 9);
    EXPECT_EQ(second.output, 25);
}

TEST(Thread, JoinAndDetachWithoutAThreadDoNothing) {
    Thread thread;
    thread.Join();
    thread.Detach();
    EXPECT_FALSE(thread.IsStarted());
}

struct Relay {
    Event go;
    Event done;
};

void RelayProc(void* arg) {
    auto* relay = static_cast<Relay*>(arg);
    relay->go.Wait();
    relay->done.Set();
}

TEST(Thread, RunsOnAfterDetach) {
    Relay relay;
    Thread thread;
    ASSERT_TRUE(thread.Start(RelayProc, &relay));
    thread.Detach();
    EXPECT_FALSE(thread.IsStarted());
    relay.go.Set();
    relay.done.Wait();
}

TEST(Thread, RunsOnAfterItsOwnerIsGone) {
    Relay relay;
    {
        Thread thread;
        ASSERT_TRUE(thread.Start(RelayProc, &relay));
    }
    relay.go.Set();
    relay.done.Wait();
}

}  // namespace
