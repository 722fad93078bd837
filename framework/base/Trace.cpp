#include "Trace.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace orx
{

void TraceLine(const char* where, const char* format, ...) noexcept
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    std::fprintf(stderr, "%s %s\n", where, text);
}

void TraceTimeStamp(char* out, std::size_t size) noexcept
{
    if (!out || size == 0)
        return;
    out[0] = '\0';
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    const std::tm* parts = std::localtime(&now);
    if (!parts)
        return;
    local = *parts;
    std::size_t n = std::strftime(out, size, "%Y%m%d %H:%M ", &local);
    char zone[64];
    if (std::strftime(zone, sizeof(zone), "%Z", &local) == 0)
        return;
    for (const char* c = zone; *c && n + 1 < size; ++c)
        if (std::isupper(static_cast<unsigned char>(*c)))
            out[n++] = *c;
    out[n] = '\0';
}

} // namespace orx
