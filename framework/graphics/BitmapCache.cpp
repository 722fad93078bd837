#include "BitmapCache.h"

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

Cache& TheCache()
{
    // Never destroyed: plug-in instances may be deleted after static destruction began.
    static Cache* cache = new Cache;
    return *cache;
}
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

int Size()
{
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    return static_cast<int>(cache.mEntries.size());
}

} // namespace BitmapCache
