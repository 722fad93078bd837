#pragma once
// Consistency checks: a failed check reports its condition text, the source file tag
// ("src/Chord", "src/Sequencer", ...) and the line, and processing carries on. The passing
// path is a single predicted branch, so checks may sit on the audio thread.

namespace orx
{

struct CheckReport
{
    const char* mFile; // source file tag, e.g. "src/Chord"
    const char* mText; // the condition as the check states it
    int mLine;
};

using CheckHandler = void (*)(const CheckReport& report);

// Cold path of ORX_CHECK. Never throws, never allocates.
void ReportCheck(const char* file, const char* text, int line) noexcept;

// Replaces the process-wide handler and returns the previous one; null restores the default,
// which records the report (see LastCheckReport) and writes a log line to standard error only
// when the environment variable ORLANTIX_CHECK_LOG is set.
CheckHandler SetCheckHandler(CheckHandler handler) noexcept;

// Number of failed checks since the process started, whatever handler was installed.
unsigned long CheckFailureCount() noexcept;

} // namespace orx

#define ORX_CHECK(tag, cond, text)                                                                 \
    do                                                                                             \
    {                                                                                              \
        if (!(cond)) [[unlikely]]                                                                  \
            ::orx::ReportCheck((tag), (text), __LINE__);                                           \
    } while (0)
