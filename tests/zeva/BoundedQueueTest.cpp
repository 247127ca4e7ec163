#include "zeva/BoundedQueue.h"

#include <gtest/gtest.h>

namespace ordvane::zeva {
namespace {

TEST(BoundedQueue, FullQueueRefusesAndCountsWhileKeepingOrder) {
    BoundedQueue<int> queue(2);
    EXPECT_TRUE(queue.Push(1));
    EXPECT_TRUE(queue.Push(2));
    EXPECT_FALSE(queue.Push(3));
    EXPECT_EQ(queue.Dropped(), 1u);
    int head = 0;
    EXPECT_TRUE(queue.Peek(head));
    EXPECT_EQ(head, 1);
    EXPECT_EQ(queue.Size(), 2u);  // peek leaves the head
    EXPECT_TRUE(queue.Pop(head));
    EXPECT_EQ(head, 1);
    EXPECT_TRUE(queue.Push(4));
    queue.DropFront();
    EXPECT_TRUE(queue.Pop(head));
    EXPECT_EQ(head, 4);
    EXPECT_FALSE(queue.Pop(head));
    queue.DropFront();  // on an empty queue: nothing happens
    EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
}  // namespace ordvane::zeva
