#pragma once

#include "platform/Exception.h"

#include <array>

// A fixed two-dimensional array indexed (x, y) whose accessors raise
// ERangeError for a place outside it, as a range-checked array would.
template <typename T, int W, int H> class CheckedGrid {
public:
    static constexpr int Width = W;
    static constexpr int Height = H;

    static bool Contains(int x, int y) { return x >= 0 && x < W && y >= 0 && y < H; }

    T& At(int x, int y) {
        if (!Contains(x, y)) throw ERangeError();
        return FItems[static_cast<size_t>(y) * W + static_cast<size_t>(x)];
    }
    const T& At(int x, int y) const {
        if (!Contains(x, y)) throw ERangeError();
        return FItems[static_cast<size_t>(y) * W + static_cast<size_t>(x)];
    }
    void Fill(const T& value) { FItems.fill(value); }

private:
    std::array<T, static_cast<size_t>(W) * H> FItems{};
};

// A checked one-dimensional array.
template <typename T, int N> class CheckedArray {
public:
    static constexpr int Size = N;
    T& operator[](int i) {
        if (i < 0 || i >= N) throw ERangeError();
        return FItems[static_cast<size_t>(i)];
    }
    const T& operator[](int i) const {
        if (i < 0 || i >= N) throw ERangeError();
        return FItems[static_cast<size_t>(i)];
    }

private:
    std::array<T, N> FItems{};
};
