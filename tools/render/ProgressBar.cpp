#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>

namespace orxrender
{
namespace
{
constexpr int kBarWidth = 40;
}

std::string FormatProgress(int64_t done, int64_t total, int width)
{
    const int64_t clamped = std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0));
    // Whole percent and whole characters, rounded down, so 100% means finished.
    const int percent = total > 0 ? static_cast<int>(clamped * 100 / total) : 100;
    const int filled = total > 0 ? static_cast<int>(clamped * width / total) : width;
    std::string text(static_cast<std::size_t>(width) + 2, '.');
    text.front() = '[';
    text.back() = ']';
    for (int i = 0; i < filled; ++i)
        text[static_cast<std::size_t>(i) + 1] = '#';
    char number[8];
    std::snprintf(number, sizeof(number), " %3d%%", percent);
    return text + number;
}

std::string ProgressBar::Update(int64_t done, int64_t total, double seconds)
{
    if (!mEnabled || seconds < kShowAfterSeconds)
        return {};
    if (mShown && seconds - mLastDraw < kRedrawSeconds)
        return {};
    mShown = true;
    mLastDraw = seconds;
    std::string text = "\r";
    text += FormatProgress(done, total, kBarWidth);
    return text;
}

std::string ProgressBar::Finish()
{
    if (!mShown)
        return {};
    mShown = false;
    std::string text(kBarWidth + 9, ' ');
    text.front() = '\r';
    text.back() = '\r';
    return text;
}

} // namespace orxrender
