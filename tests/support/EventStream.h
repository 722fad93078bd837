#pragma once
// Whole event streams as the tests and the command-line renderer write them: one event per
// line, "%lld %02x %d %d" = absolute sample (block start + offset), status in lowercase hex,
// data1, data2. Comparison against an expected file under the source tree, which the
// environment variable ORLANTIX_UPDATE_EXPECTED=1 rewrites instead of comparing.

#include "IMidiMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct StreamEvent
{
    long long mTime;
    int mStatus;
    int mData1;
    int mData2;
};

bool operator==(const StreamEvent& a, const StreamEvent& b);

// Appends one block's messages with their absolute times.
template <typename Messages>
void AppendBlock(std::vector<StreamEvent>& stream, long long blockStart, const Messages& messages)
{
    for (const IMidiMessage& m : messages)
        stream.push_back({blockStart + m.mOffset, m.mStatus, m.mData1, m.mData2});
}

std::string FormatEvent(const StreamEvent& e);
std::string FormatStream(const std::vector<StreamEvent>& stream);

// Compares text with the file at path; with ORLANTIX_UPDATE_EXPECTED=1 writes the file and
// passes. A mismatch names the first differing line.
::testing::AssertionResult MatchesExpectedFile(const std::string& path, const std::string& text);
