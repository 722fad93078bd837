#pragma once
// Trace points: ORX_TRACE("IPlugBase::SetHost", "host_%sknown:%s:%s", ...) marks a framework
// operation with its qualified name. The product is built without tracing, so every trace
// point compiles to nothing; the arguments are still type-checked against the format. A
// diagnostic build defines ORX_TRACE_ENABLED=1 and gets one line per trace on standard error
// (that build breaks the no-I/O rule of the audio thread and is never shipped).

#include <cstddef>

#ifndef ORX_TRACE_ENABLED
#define ORX_TRACE_ENABLED 0
#endif

namespace orx
{

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void TraceLine(const char* where, const char* format, ...) noexcept;

// The construction stamp of the plug-in base: local time as "%Y%m%d %H:%M " followed by the
// capital letters of the time-zone name.
void TraceTimeStamp(char* out, std::size_t size) noexcept;

inline constexpr bool kTraceEnabled = ORX_TRACE_ENABLED != 0;

} // namespace orx

#define ORX_TRACE(where, ...)                                                                      \
    do                                                                                             \
    {                                                                                              \
        if constexpr (::orx::kTraceEnabled)                                                        \
            ::orx::TraceLine((where), __VA_ARGS__);                                                \
    } while (0)
