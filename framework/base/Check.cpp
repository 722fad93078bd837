#include "Check.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace orx
{
namespace
{

std::atomic<unsigned long> gFailures{0};

// Set once, on first use: reading the environment on every report would be needless work.
bool LogRequested() noexcept
{
    static const bool requested = std::getenv("ORLANTIX_CHECK_LOG") != nullptr;
    return requested;
}

void DefaultHandler(const CheckReport& report)
{
    if (LogRequested())
        std::fprintf(stderr, "%s(%d): check failed: %s\n", report.mFile, report.mLine,
                     report.mText);
}

std::atomic<CheckHandler> gHandler{&DefaultHandler};

} // namespace

void ReportCheck(const char* file, const char* text, int line) noexcept
{
    gFailures.fetch_add(1, std::memory_order_relaxed);
    const CheckReport report{file, text, line};
    gHandler.load(std::memory_order_acquire)(report);
}

CheckHandler SetCheckHandler(CheckHandler handler) noexcept
{
    return gHandler.exchange(handler ? handler : &DefaultHandler, std::memory_order_acq_rel);
}

unsigned long CheckFailureCount() noexcept
{
    return gFailures.load(std::memory_order_relaxed);
}

} // namespace orx
