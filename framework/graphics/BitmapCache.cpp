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

// The lock has a trivial destructor, so it still works while statics are destroyed.
std::mutex gMutex;
std::vector<Entry>* gpEntries = nullptr; // made on first use
int gUsers = 0;                          // graphics contexts alive
bool gUnloading = false;                 // the library's statics are being destroyed

std::vector<Entry>& Entries()
{
    if (!gpEntries)
        gpEntries = new std::vector<Entry>;
    return *gpEntries;
}

void FreeEntries()
{
    delete gpEntries;
    gpEntries = nullptr;
}

// The images go with the library (a host unloads a plug-in library and may load it again),
// or, when a context is still alive then, with the last context.
struct UnloadRelease
{
    ~UnloadRelease()
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gUnloading = true;
        if (gUsers == 0)
            FreeEntries();
    }
} gUnloadRelease;
} // namespace

namespace BitmapCache
{

void AddUser()
{
    std::lock_guard<std::mutex> lock(gMutex);
    ++gUsers;
}

void RemoveUser() noexcept
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (--gUsers == 0 && gUnloading)
        FreeEntries();
}

LICE_IBitmap* FindOrLoad(int id, const std::function<std::unique_ptr<LICE_IBitmap>()>& load)
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<Entry>& entries = Entries();
    if (id >= 0)
        for (const Entry& e : entries)
            if (e.mId == id)
                return e.mpBitmap.get();
    std::unique_ptr<LICE_IBitmap> bitmap = load();
    if (!bitmap)
        return nullptr;
    LICE_IBitmap* p = bitmap.get();
    entries.push_back({id, std::move(bitmap)});
    return p;
}

LICE_IBitmap* Retain(std::unique_ptr<LICE_IBitmap> bitmap)
{
    if (!bitmap)
        return nullptr;
    std::lock_guard<std::mutex> lock(gMutex);
    LICE_IBitmap* p = bitmap.get();
    Entries().push_back({-1, std::move(bitmap)});
    return p;
}

bool Adopt(LICE_IBitmap* bitmap)
{
    if (!bitmap)
        return false;
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<Entry>& entries = Entries();
    for (const Entry& e : entries)
        if (e.mpBitmap.get() == bitmap)
            return true;
    entries.push_back({-1, std::unique_ptr<LICE_IBitmap>(bitmap)});
    return true;
}

bool Release(const LICE_IBitmap* bitmap)
{
    if (!bitmap)
        return false;
    std::unique_ptr<LICE_IBitmap> doomed;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        std::vector<Entry>& entries = Entries();
        for (auto it = entries.begin(); it != entries.end(); ++it)
        {
            if (it->mpBitmap.get() == bitmap)
            {
                doomed = std::move(it->mpBitmap);
                entries.erase(it);
                break;
            }
        }
    }
    return doomed != nullptr;
}

int Size()
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gpEntries ? static_cast<int>(gpEntries->size()) : 0;
}

} // namespace BitmapCache
