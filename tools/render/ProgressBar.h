#pragma once
// The progress bar on standard error: it appears only once a render has run for a second and
// only on a terminal, redraws at most ten times a second, and clears its line when done.

#include <cstdint>
#include <string>

namespace orxrender
{

// "[#####.....]  42%" for done out of total, bar `width` characters wide.
std::string FormatProgress(int64_t done, int64_t total, int width);

class ProgressBar
{
public:
    static constexpr double kShowAfterSeconds = 1.0;
    static constexpr double kRedrawSeconds = 0.1;

    // enabled: whether to draw at all (standard error is a terminal).
    explicit ProgressBar(bool enabled) noexcept : mEnabled(enabled) {}
    bool Enabled() const noexcept { return mEnabled; }
    // Call as the render goes on, with the seconds since it began. Answers the text to put on
    // the terminal now ("\r" and the bar), or empty when nothing is to be drawn.
    std::string Update(int64_t done, int64_t total, double seconds);
    // The text that clears the bar's line, if one was drawn.
    std::string Finish();

private:
    bool mEnabled;
    bool mShown = false;
    double mLastDraw = 0.0;
};

} // namespace orxrender
