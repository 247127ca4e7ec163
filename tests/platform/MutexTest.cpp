#include "platform/Mutex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace ordvane {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

struct Mailbox {
    Mutex mutex;
    CondVar changed;
    int letter GUARDED_BY(mutex) = 0;
};

// The wait hands the mutex back and forth correctly: a waiter sees what another thread set
// under the lock, a wait for nothing ends at its deadline with the lock held again, and the
// mutex is free afterwards.
TEST(CondVar, WaiterSeesTheChangeOrGivesUpAtTheDeadline) {
    Mailbox box;
    std::thread sender([&box] {
        std::this_thread::sleep_for(milliseconds(20));
        MutexLock lock(box.mutex);
        box.letter = 7;
        box.changed.NotifyAll();
    });
    {
        MutexLock lock(box.mutex);
        const auto deadline = steady_clock::now() + std::chrono::seconds(30);
        while (box.letter == 0 && box.changed.WaitUntil(box.mutex, deadline)) {
        }
        EXPECT_EQ(box.letter, 7);
        box.letter = 0;
        const auto soon = steady_clock::now() + milliseconds(10);
        while (box.letter == 0 && box.changed.WaitUntil(box.mutex, soon)) {
        }
        EXPECT_EQ(box.letter, 0);
        EXPECT_GE(steady_clock::now(), soon);
    }
    sender.join();
    MutexLock again(box.mutex);
    EXPECT_EQ(box.letter, 0);
}

}  // namespace
}  // namespace ordvane
