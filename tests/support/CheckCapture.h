#pragma once
// Observes failed consistency checks for the lifetime of the object, so a test can assert that
// a particular check fired (or that none did).

#include "Check.h"

#include <string>
#include <vector>

class CheckCapture
{
public:
    struct Entry
    {
        std::string mFile;
        std::string mText;
        int mLine;
    };

    CheckCapture();
    ~CheckCapture();
    CheckCapture(const CheckCapture&) = delete;
    CheckCapture& operator=(const CheckCapture&) = delete;

    const std::vector<Entry>& Entries() const { return mEntries; }
    bool Empty() const { return mEntries.empty(); }
    // True when a check of that file tag and exact text fired.
    bool Fired(const std::string& file, const std::string& text) const;
    void Clear() { mEntries.clear(); }
    // All reports as "file(line): text" lines, for failure messages.
    std::string Describe() const;

private:
    static void Handler(const orx::CheckReport& report);

    std::vector<Entry> mEntries;
    orx::CheckHandler mPrevious;
    CheckCapture* mOuter;
};
