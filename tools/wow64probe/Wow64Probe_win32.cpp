// Answers whether this machine runs 32-bit Windows code: exit status 0 and one line saying how
// it ran when it does. Where it does not, the loader fails before main and says why.
#include <windows.h>

#include <cstdio>

int main()
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64))
    {
        std::printf("IsWow64Process failed with error %lu\n", GetLastError());
        return 1;
    }
    std::printf("%u-bit Windows code runs%s\n", static_cast<unsigned>(sizeof(void*) * 8),
                wow64 ? " under WoW64" : "");
    return sizeof(void*) == 4 ? 0 : 1;
}
