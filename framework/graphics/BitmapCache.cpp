#include "BitmapCache.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace
{
struct Entry
{
    int mId;
    std::unique_ptr<LICE_IBitmap> mpBitmap;
};

struct Cache
{
    std::mutex mMutex;
    std::vector<Entry> mEntries;
};

std::atomic<Cache*> gCache{nullptr};
std::atomic<int> gUsers{0};

// Made on first use (again, should an image be wanted after CacheRelease).
Cache& TheCache()
{
    Cache* cache = gCache.load();
    if (!cache)
    {
        auto* made = new Cache;
        if (gCache.compare_exchange_strong(cache, made))
            cache = made;
        else
            delete made;
    }
    return *cache;
}

// When the library holding the cache is unloaded (its static objects go), so do the images:
// otherwise every load and unload of a plug-in library would leave them behind. While a
// graphics context is still alive it may still draw them (instances deleted after static
// destruction began), so then the cache stays.
struct CacheRelease
{
    ~CacheRelease()
    {
        if (gUsers.load() == 0)
            delete gCache.exchange(nullptr);
    }
} gCacheRelease;
} // namespace

namespace BitmapCache
{

LICE_IBitmap* FindOrLoad(int id, const std::function<std::unique_ptr<LICE_IBitmap>()>& load)
{
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    if (id >= 0)
        for (const Entry& e : cache.mEntries)
            if (e.mId == id)
                return e.mpBitmap.get();
    std::unique_ptr<LICE_IBitmap> bitmap = load();
    if (!bitmap)
        return nullptr;
    LICE_IBitmap* p = bitmap.get();
    cache.mEntries.push_back({id, std::move(bitmap)});
    return p;
}

LICE_IBitmap* Retain(std::unique_ptr<LICE_IBitmap> bitmap)
{
    if (!bitmap)
        return nullptr;
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    LICE_IBitmap* p = bitmap.get();
    cache.mEntries.push_back({-1, std::move(bitmap)});
    return p;
}

bool Adopt(LICE_IBitmap* bitmap)
{
    if (!bitmap)
        return false;
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    for (const Entry& e : cache.mEntries)
        if (e.mpBitmap.get() == bitmap)
            return true;
    cache.mEntries.push_back({-1, std::unique_ptr<LICE_IBitmap>(bitmap)});
    return true;
}

bool Release(const LICE_IBitmap* bitmap)
{
    if (!bitmap)
        return false;
    std::unique_ptr<LICE_IBitmap> doomed;
    Cache& cache = TheCache();
    {
        std::lock_guard<std::mutex> lock(cache.mMutex);
        for (auto it = cache.mEntries.begin(); it != cache.mEntries.end(); ++it)
        {
            if (it->mpBitmap.get() == bitmap)
            {
                doomed = std::move(it->mpBitmap);
                cache.mEntries.erase(it);
                break;
            }
        }
    }
    return doomed != nullptr;
}

void AddUser() noexcept
{
    gUsers.fetch_add(1);
}

void RemoveUser() noexcept
{
    gUsers.fetch_sub(1);
}

int Size()
{
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    return static_cast<int>(cache.mEntries.size());
}

} // namespace BitmapCache
