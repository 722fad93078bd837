#include "CheckCapture.h"

namespace
{
CheckCapture* gActive = nullptr;
}

CheckCapture::CheckCapture() : mPrevious(orx::SetCheckHandler(&Handler)), mOuter(gActive)
{
    gActive = this;
}

CheckCapture::~CheckCapture()
{
    gActive = mOuter;
    orx::SetCheckHandler(mPrevious);
}

void CheckCapture::Handler(const orx::CheckReport& report)
{
    if (gActive)
        gActive->mEntries.push_back({report.mFile, report.mText, report.mLine});
}

bool CheckCapture::Fired(const std::string& file, const std::string& text) const
{
    for (const Entry& e : mEntries)
        if (e.mFile == file && e.mText == text)
            return true;
    return false;
}

std::string CheckCapture::Describe() const
{
    std::string out;
    for (const Entry& e : mEntries)
        out += e.mFile + "(" + std::to_string(e.mLine) + "): " + e.mText + "\n";
    return out;
}
