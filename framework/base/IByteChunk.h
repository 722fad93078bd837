#pragma once
// A growable byte buffer for preset and state data: values go in little-endian whatever the
// platform, and reads are positional. A read that does not fit answers -1, and every read that
// is handed -1 as its position fails too, so a sequence of reads stops at the first short one.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

class IByteChunk
{
public:
    IByteChunk() = default;
    IByteChunk(const IByteChunk&) = delete;
    IByteChunk& operator=(const IByteChunk&) = delete;
    IByteChunk(IByteChunk&& other) noexcept
        : mpData(std::move(other.mpData)), mSize(std::exchange(other.mSize, 0)),
          mCapacity(std::exchange(other.mCapacity, 0)), mKeepCapacity(other.mKeepCapacity)
    {
    }
    IByteChunk& operator=(IByteChunk&& other) noexcept
    {
        mpData = std::move(other.mpData);
        mSize = std::exchange(other.mSize, 0);
        mCapacity = std::exchange(other.mCapacity, 0);
        mKeepCapacity = other.mKeepCapacity;
        return *this;
    }

    // Appends the value's bytes, least significant first. Answers false (and leaves the chunk
    // as it was) when the buffer cannot grow.
    template <class T>
    bool Put(const T& value) noexcept
    {
        unsigned char bytes[sizeof(T)];
        Encode(value, bytes);
        return PutBytes(bytes, static_cast<int>(sizeof(T)));
    }

    // Copies the value at position into *value and answers position + its size; answers -1
    // and leaves *value untouched when position is negative or too few bytes remain.
    template <class T>
    int Get(T* value, int position) const noexcept
    {
        unsigned char bytes[sizeof(T)];
        const int next = GetBytes(bytes, static_cast<int>(sizeof(T)), position);
        if (next >= 0 && value)
            *value = Decode<T>(bytes);
        return next;
    }

    bool PutBytes(const void* data, int size) noexcept
    {
        if (size < 0 || (size > 0 && !data) || size > kMaxSize - mSize)
            return false;
        if (!Reserve(mSize + size))
            return false;
        if (size > 0)
            std::memcpy(mpData.get() + mSize, data, static_cast<std::size_t>(size));
        mSize += size;
        return true;
    }

    // Replaces the content by size bytes from data, which may lie in this chunk's own storage:
    // a host may hand back the very pointer it was given. Answers false, the chunk unchanged,
    // when the buffer cannot grow or bytes from the own storage would reach past its end.
    bool Assign(const void* data, int size) noexcept
    {
        if (size < 0 || (size > 0 && !data))
            return false;
        const auto* bytes = static_cast<const unsigned char*>(data);
        const unsigned char* begin = mpData.get();
        const std::less_equal<const unsigned char*> notAfter;
        if (begin && notAfter(begin, bytes) && !notAfter(begin + mCapacity, bytes))
        {
            const std::ptrdiff_t offset = bytes - begin;
            if (size > mCapacity - offset)
                return false;
            // Overlapping ranges: memmove, never memcpy.
            if (offset > 0 && size > 0)
                std::memmove(mpData.get(), bytes, static_cast<std::size_t>(size));
            mSize = size;
            return true;
        }
        if (size > mCapacity)
        {
            // New storage, filled before the old one goes.
            IByteChunk grown;
            if (!grown.Reserve(size))
                return false;
            std::memcpy(grown.mpData.get(), bytes, static_cast<std::size_t>(size));
            grown.mSize = size;
            *this = std::move(grown);
            return true;
        }
        if (size > 0)
            std::memcpy(mpData.get(), bytes, static_cast<std::size_t>(size));
        mSize = size;
        return true;
    }

    int GetBytes(void* out, int size, int position) const noexcept
    {
        if (position < 0 || size < 0 || size > mSize - position || (size > 0 && !out))
            return -1;
        if (size > 0)
            std::memcpy(out, mpData.get() + position, static_cast<std::size_t>(size));
        return position + size;
    }

    // New bytes are zero. Answers false (size unchanged) for a negative size or when memory
    // runs out.
    bool SetSize(int size) noexcept
    {
        if (size < 0 || !Reserve(size))
            return false;
        if (size > mSize)
            std::memset(mpData.get() + mSize, 0, static_cast<std::size_t>(size - mSize));
        mSize = size;
        return true;
    }

    // Empties the chunk; the storage stays for the next fill.
    void Clear() noexcept { mSize = 0; }
    // While kept, the storage never grows: an append beyond it fails instead of allocating
    // (for a chunk written where nothing may allocate).
    void KeepCapacity(bool keep) noexcept { mKeepCapacity = keep; }
    int Size() const noexcept { return mSize; }
    unsigned char* Data() noexcept { return mpData.get(); }
    const unsigned char* Data() const noexcept { return mpData.get(); }

    // Keeps storage for size bytes, so later appends up to that size do not allocate.
    bool Reserve(int size) noexcept
    {
        if (size <= mCapacity)
            return true;
        if (mKeepCapacity)
            return false;
        // Grow geometrically so a chunk filled value by value allocates O(log n) times.
        int capacity = mCapacity < 64 ? 64 : mCapacity;
        while (capacity < size)
            capacity = capacity > kMaxSize / 2 ? kMaxSize : capacity * 2;
        std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[capacity]);
        if (!data)
            return false;
        if (mSize > 0)
            std::memcpy(data.get(), mpData.get(), static_cast<std::size_t>(mSize));
        mpData = std::move(data);
        mCapacity = capacity;
        return true;
    }

private:
    static constexpr int kMaxSize = std::numeric_limits<int>::max();

    template <class T>
    static auto AsUnsigned(const T& value) noexcept
    {
        static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>,
                      "IByteChunk stores numbers only; store a flag as a byte");
        static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);
        if constexpr (sizeof(T) == 1)
            return std::bit_cast<uint8_t>(value);
        else if constexpr (sizeof(T) == 2)
            return std::bit_cast<uint16_t>(value);
        else if constexpr (sizeof(T) == 4)
            return std::bit_cast<uint32_t>(value);
        else
            return std::bit_cast<uint64_t>(value);
    }

    template <class T>
    static void Encode(const T& value, unsigned char* bytes) noexcept
    {
        auto bits = AsUnsigned(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes[i] = static_cast<unsigned char>((bits >> (8 * i)) & 0xFF);
    }

    template <class T>
    static T Decode(const unsigned char* bytes) noexcept
    {
        using U = decltype(AsUnsigned(T{}));
        U bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bits = static_cast<U>(bits | (static_cast<U>(bytes[i]) << (8 * i)));
        return std::bit_cast<T>(bits);
    }

    std::unique_ptr<unsigned char[]> mpData;
    int mSize = 0;
    int mCapacity = 0;
    bool mKeepCapacity = false;
};
