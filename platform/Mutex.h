#pragma once
// A mutex whose lock requirements the compiler checks. Data shared between threads is marked
// GUARDED_BY(its mutex), a function that expects the caller to hold a lock says
// REQUIRES(mutex), and one that takes the lock itself says EXCLUDES(mutex); clang's
// -Wthread-safety then reports every access or call that breaks them. Other compilers see
// plain std::mutex and std::condition_variable with the annotations compiled away.
//
//     class Counter {
//     public:
//         void Add() EXCLUDES(m_mutex) {
//             MutexLock lock(m_mutex);
//             AddLocked();
//         }
//     private:
//         void AddLocked() REQUIRES(m_mutex) { ++m_count; }
//         Mutex m_mutex;
//         int m_count GUARDED_BY(m_mutex) = 0;
//     };

#include <chrono>
#include <condition_variable>
#include <mutex>

#if defined(__clang__)
#define ORDVANE_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define ORDVANE_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(name) ORDVANE_THREAD_ANNOTATION(capability(name))
#define SCOPED_CAPABILITY ORDVANE_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(mutex) ORDVANE_THREAD_ANNOTATION(guarded_by(mutex))
#define REQUIRES(...) ORDVANE_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) ORDVANE_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) ORDVANE_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) ORDVANE_THREAD_ANNOTATION(release_capability(__VA_ARGS__))

namespace ordvane {

class CondVar;

class CAPABILITY("mutex") Mutex {
public:
    constexpr Mutex() noexcept = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Lock() ACQUIRE() { m_native.lock(); }
    void Unlock() RELEASE() { m_native.unlock(); }

private:
    friend class CondVar;
    std::mutex m_native;
};

// Holds the mutex from construction to the end of the scope.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : m_mutex(mutex) { m_mutex.Lock(); }
    ~MutexLock() RELEASE() { m_mutex.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_mutex;
};

// A condition variable for Mutex. The caller holds the mutex and tests its condition in a loop
// around the wait, so that the analysis sees every read of guarded data under the lock:
//
//     MutexLock lock(m_mutex);
//     while (!m_ready && m_changed.WaitUntil(m_mutex, deadline)) {
//     }
class CondVar {
public:
    void NotifyOne() noexcept { m_native.notify_one(); }
    void NotifyAll() noexcept { m_native.notify_all(); }

    // Releases the mutex while waiting and holds it again on return.
    void Wait(Mutex& mutex) REQUIRES(mutex) {
        std::unique_lock lock(mutex.m_native, std::adopt_lock);
        m_native.wait(lock);
        lock.release();
    }

    // As Wait, at most until the deadline; false once it has passed.
    template <typename Clock, typename Duration>
    bool WaitUntil(Mutex& mutex, std::chrono::time_point<Clock, Duration> deadline)
        REQUIRES(mutex) {
        std::unique_lock lock(mutex.m_native, std::adopt_lock);
        const bool notified = m_native.wait_until(lock, deadline) == std::cv_status::no_timeout;
        lock.release();
        return notified;
    }

private:
    std::condition_variable m_native;
};

}  // namespace ordvane
