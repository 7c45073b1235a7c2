// SPDX-License-Identifier: GPL-3.0-or-later
// A value shared between the host's threads without a lock: every read and write is one
// relaxed atomic access, which on x86-64 is a plain load or store. Used for the working
// values that setParameter writes while the audio thread reads them.
#pragma once

#include <atomic>

template <typename T>
class Relaxed {
public:
    constexpr Relaxed(T initial = T{}) noexcept : value(initial) {}
    Relaxed(const Relaxed& other) noexcept : value(other.load()) {}
    Relaxed& operator=(const Relaxed& other) noexcept {
        store(other.load());
        return *this;
    }

    T load() const noexcept { return value.load(std::memory_order_relaxed); }
    void store(T x) noexcept { value.store(x, std::memory_order_relaxed); }
    T exchange(T x) noexcept { return value.exchange(x, std::memory_order_relaxed); }

    operator T() const noexcept { return load(); }
    Relaxed& operator=(T x) noexcept {
        store(x);
        return *this;
    }

private:
    std::atomic<T> value;
    static_assert(std::atomic<T>::is_always_lock_free);
};
