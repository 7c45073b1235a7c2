// SPDX-License-Identifier: GPL-3.0-or-later
// Room for a copy of a value, made only on the paths that need one. An empty std::optional
// would do, but the compiler zeroes its whole storage wherever one is declared, which a
// block of 32 frames feels when the value is the chain's state.
#pragma once

#include <new>
#include <type_traits>

template <typename T>
class Room {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "the room never runs a destructor");

public:
    // Copies value into the room; the copy lasts as long as the room.
    T& hold(const T& value) noexcept { return *::new (static_cast<void*>(bytes)) T(value); }

private:
    alignas(T) unsigned char bytes[sizeof(T)];
};
