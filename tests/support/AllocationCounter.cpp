#include "AllocationCounter.h"

#include "IMutex.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> gNews{0};
std::atomic<long> gDeletes{0};
std::atomic<long> gHandedNews{0};

void CountNew() noexcept
{
    gNews.fetch_add(1, std::memory_order_relaxed);
    if (IMutex::RunsHandedWork())
        gHandedNews.fetch_add(1, std::memory_order_relaxed);
}

void* Allocate(std::size_t size)
{
    CountNew();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align)
{
    CountNew();
    const std::size_t a = static_cast<std::size_t>(align);
    const std::size_t rounded = ((size ? size : 1) + a - 1) / a * a;
    if (void* p = std::aligned_alloc(a, rounded))
        return p;
    throw std::bad_alloc();
}

void Release(void* p) noexcept
{
    if (!p)
        return;
    gDeletes.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}
} // namespace

AllocationCounter::AllocationCounter() noexcept
    : mStartNew(gNews.load(std::memory_order_relaxed)),
      mStartDelete(gDeletes.load(std::memory_order_relaxed))
{
}

AllocationCounter::~AllocationCounter() = default;

long AllocationCounter::Allocations() const noexcept
{
    return gNews.load(std::memory_order_relaxed) - mStartNew;
}

long AllocationCounter::InHandedWork() noexcept
{
    return gHandedNews.load(std::memory_order_relaxed);
}

long AllocationCounter::Deallocations() const noexcept
{
    return gDeletes.load(std::memory_order_relaxed) - mStartDelete;
}

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (...)
    {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (...)
    {
        return nullptr;
    }
}

void* operator new(std::size_t size, std::align_val_t align)
{
    return AllocateAligned(size, align);
}

void* operator new[](std::size_t size, std::align_val_t align)
{
    return AllocateAligned(size, align);
}

void operator delete(void* p) noexcept
{
    Release(p);
}

void operator delete[](void* p) noexcept
{
    Release(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    Release(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    Release(p);
}

void operator delete(void* p, std::align_val_t) noexcept
{
    Release(p);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    Release(p);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p);
}
