// SPDX-License-Identifier: GPL-3.0-or-later
// The edits the effect reports for its UI to write to the host, on their way from the
// thread that made them (the UI thread for the editor's gestures; the effect may report
// from the audio thread too) to the UI thread, which alone may call the host's write
// function. A bounded queue of fixed cells: any number of threads push without locking or
// allocating, one thread takes; a push into a full queue fails and the caller falls back to
// a whole resend of the values.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

struct Edit {
    enum class Kind : std::uint8_t { Begin, Value, End };
    Kind kind = Kind::Value;
    std::int32_t param = 0;
    float value = 0.0f;
};

template <std::size_t Size>
class EditQueue {
    static_assert(Size >= 2 && (Size & (Size - 1)) == 0, "the size is a power of two");

public:
    EditQueue() noexcept {
        for (std::size_t i = 0; i < Size; ++i) cells[i].turn.store(i, std::memory_order_relaxed);
    }
    EditQueue(const EditQueue&) = delete;
    EditQueue& operator=(const EditQueue&) = delete;

    // Any thread; false when the queue is full.
    bool push(const Edit& edit) noexcept {
        std::size_t at = pushAt.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells[at & kMask];
            const std::size_t turn = cell.turn.load(std::memory_order_acquire);
            const auto lag = static_cast<std::ptrdiff_t>(turn - at);
            if (lag == 0) {
                // The cell is free for this position: claim the position, then fill it.
                if (pushAt.compare_exchange_weak(at, at + 1, std::memory_order_relaxed)) {
                    cell.edit = edit;
                    cell.turn.store(at + 1, std::memory_order_release);
                    return true;
                }
            } else if (lag < 0) {
                return false; // the taker has not emptied this cell yet: full
            } else {
                at = pushAt.load(std::memory_order_relaxed);
            }
        }
    }

    // The one taking thread; false when nothing is waiting.
    bool pop(Edit& edit) noexcept {
        const std::size_t at = popAt.load(std::memory_order_relaxed);
        Cell& cell = cells[at & kMask];
        if (cell.turn.load(std::memory_order_acquire) != at + 1) return false;
        edit = cell.edit;
        popAt.store(at + 1, std::memory_order_relaxed);
        cell.turn.store(at + Size, std::memory_order_release);
        return true;
    }

private:
    static constexpr std::size_t kMask = Size - 1;
    // A cell is free for the push at position p when its turn is p, and holds that push's
    // edit for the taker when its turn is p + 1.
    struct Cell {
        std::atomic<std::size_t> turn{0};
        Edit edit;
    };
    std::array<Cell, Size> cells;
    alignas(64) std::atomic<std::size_t> pushAt{0};
    alignas(64) std::atomic<std::size_t> popAt{0};
};
