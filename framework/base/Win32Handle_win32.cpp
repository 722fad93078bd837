#include "Win32Handle.h"

#include <cstdio>

namespace orx::win32
{

namespace
{

const void* ThisModule() noexcept
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The section with this library's counts, made on first use and kept until the library goes.
// Where no section can be had the counts live in plain memory.
class CountsSection
{
public:
    CountsSection() noexcept
    {
        const std::wstring name = HandleCountsName(GetCurrentProcessId(), ThisModule());
        mMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(HandleCounts), name.c_str());
        if (mMapping)
            mpView = static_cast<HandleCounts*>(
                MapViewOfFile(mMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(HandleCounts)));
        HandleCounts* counts = mpView ? mpView : &mFallback;
        counts->mMagic = kHandleCountsMagic;
        mpCounts = counts;
    }
    ~CountsSection()
    {
        if (mpView)
            UnmapViewOfFile(mpView);
        if (mMapping)
            CloseHandle(mMapping);
    }
    CountsSection(const CountsSection&) = delete;
    CountsSection& operator=(const CountsSection&) = delete;

    HandleCounts& Counts() noexcept { return *mpCounts; }

private:
    HANDLE mMapping = nullptr;
    HandleCounts* mpView = nullptr;
    HandleCounts mFallback{};
    HandleCounts* mpCounts = nullptr;
};

CountsSection& Section() noexcept
{
    static CountsSection section;
    return section;
}

} // namespace

std::wstring HandleCountsName(unsigned long pid, const void* module)
{
    wchar_t name[96];
    std::swprintf(name, 96, L"Local\\OrlantixHandleCounts-%lu-%llx", pid,
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(module)));
    return name;
}

void CountHandle(HandleKind kind, int delta) noexcept
{
    const int k = static_cast<int>(kind);
    if (k < 0 || k >= kHandleKinds)
        return;
    HandleCounts& counts = Section().Counts();
    InterlockedExchangeAdd(reinterpret_cast<volatile LONG*>(&counts.mLive[k]), delta);
    if (delta > 0)
        InterlockedExchangeAdd(reinterpret_cast<volatile LONG*>(&counts.mMade[k]), delta);
}

int LiveHandles(HandleKind kind) noexcept
{
    const int k = static_cast<int>(kind);
    if (k < 0 || k >= kHandleKinds)
        return 0;
    return InterlockedCompareExchange(
        reinterpret_cast<volatile LONG*>(&Section().Counts().mLive[k]), 0, 0);
}

} // namespace orx::win32
