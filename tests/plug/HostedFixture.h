#pragma once
// A test plug-in loaded through our own host library, as a host would load it.

#include "TestPluginParams.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <string>

class Hosted : public ::testing::Test
{
protected:
    void Load(const char* path) { ASSERT_TRUE(mHost.Load(path)) << mHost.Error(); }

    // A probe parameter's value, read back as the host reads any parameter display.
    double Probe(int idx) { return std::stod(mHost.ParamDisplay(idx)); }

    // Events the plug-in sent during process calls, in order.
    std::vector<orxhost::CapturedEvent> BlockEvents() const
    {
        std::vector<orxhost::CapturedEvent> events;
        for (const orxhost::CapturedEvent& e : mHost.Events())
            if (e.mBlock >= 0)
                events.push_back(e);
        return events;
    }

    orxhost::VstHost mHost;
};
