#pragma once
// A first-in first-out queue with a fixed capacity: a push into a full queue is refused and
// counted, so memory never grows without limit however fast modules answer. Not thread-safe;
// the owner guards it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

namespace ordvane::zeva {

template <typename Item>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : m_capacity(capacity) {}

    bool Push(Item item) {
        if (m_items.size() >= m_capacity) {
            ++m_dropped;
            return false;
        }
        m_items.push_back(std::move(item));
        return true;
    }

    // Copies the head out and leaves it queued.
    bool Peek(Item& out) const {
        if (m_items.empty()) {
            return false;
        }
        out = m_items.front();
        return true;
    }

    // Moves the head out and dequeues it.
    bool Pop(Item& out) {
        if (m_items.empty()) {
            return false;
        }
        out = std::move(m_items.front());
        m_items.pop_front();
        return true;
    }

    void DropFront() {
        if (!m_items.empty()) {
            m_items.pop_front();
        }
    }

    std::size_t Size() const { return m_items.size(); }
    std::size_t Capacity() const { return m_capacity; }
    std::uint64_t Dropped() const { return m_dropped; }

private:
    std::size_t m_capacity;
    std::deque<Item> m_items;
    std::uint64_t m_dropped = 0;
};

}  // namespace ordvane::zeva
