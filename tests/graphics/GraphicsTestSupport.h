#pragma once
// A small plug-in with a few kinds of parameter that records what the editor tells the host,
// and solid-colour filmstrip images for controls.

#include "IBitmapHandle.h"
#include "IControl.h"
#include "IPlugBase.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"
#include "TextUtil.h"

#include <memory>
#include <string>
#include <vector>

enum ETestParams
{
    kGain = 0,  // 0 .. 10, real
    kMode = 1,  // enumeration "Saw", "Square", "Sine"
    kOn = 2,    // boolean
    kSteps = 3, // 1 .. 16, integer
    kNumTestParams
};

class EditorPlug : public IPlugBase
{
public:
    EditorPlug()
        : IPlugBase(kNumTestParams, "1-1", 1, "Effect", "Product", "Maker", 0x010000,
                    orx::FourCC("edtr"), orx::FourCC("test"), 0, true, true, true)
    {
        GetParam(kGain)->InitDouble("Gain", 5.0, 0.0, 10.0, 0.01, "dB");
        GetParam(kMode)->InitEnum("Mode", 0, 3);
        GetParam(kMode)->AddDisplayText(0, "Saw");
        GetParam(kMode)->AddDisplayText(1, "Square");
        GetParam(kMode)->AddDisplayText(2, "Sine");
        GetParam(kOn)->InitBool("On", false);
        GetParam(kSteps)->InitInt("Steps", 4, 1, 16);
    }

    void HandleParamChange(int idx) override { mLog.push_back("change " + std::to_string(idx)); }
    void BeginParamGesture(int idx) override { mLog.push_back("begin " + std::to_string(idx)); }
    void ReportParamChange(int idx, double) override
    {
        mLog.push_back("report " + std::to_string(idx));
    }
    void EndParamGesture(int idx) override { mLog.push_back("end " + std::to_string(idx)); }
    int TransportSamplePosition() override { return 0; }
    double TransportTempo() override { return 120.0; }
    void TransportTimeSignature(int* n, int* d) override { *n = *d = 4; }
    void TransportTimeInfo(ITimeInfo*) override {}
    void EditorResized() override { mLog.push_back("resized"); }
    void HostSetup() override {}
    bool EmitMidiMessage(const IMidiMessage&) override { return true; }
    bool EmitMidiMessages(const IMidiMessage*, int) override { return true; }
    bool EmitSysEx(const ISysExMessage&) override { return true; }

    std::vector<std::string> mLog;
};

// An image of `frames` frames of w x h, frame i (1-based) filled with FrameColor(i).
inline LICE_pixel FrameColor(int frame)
{
    return 0xFF000000u | static_cast<LICE_pixel>(frame * 0x010203);
}

struct Filmstrip
{
    std::unique_ptr<LICE_MemBitmap> mpBitmap;
    IBitmapHandle mHandle;

    Filmstrip(int w, int h, int frames) : mpBitmap(std::make_unique<LICE_MemBitmap>(w, h * frames))
    {
        for (int i = 1; i <= frames; ++i)
            LICE::FillRectangle(mpBitmap.get(), 0, (i - 1) * h, w, h, FrameColor(i), 1.0f, 0);
        mHandle = {mpBitmap.get(), w, h * frames, frames};
    }
};

// A control that counts its paints and fills its rectangle with a colour.
class CountingControl : public IControl
{
public:
    using IControl::IControl;
    bool Paint(IGraphics&) noexcept override
    {
        ++mPaints;
        return true;
    }
    void HandleMouseDrag(int, int, int dx, int dy, const IMouseKeys&) noexcept override
    {
        mDrags.push_back({dx, dy});
    }
    void HandleMouseUp(int, int, const IMouseKeys&) noexcept override { ++mUps; }
    int mPaints = 0;
    int mUps = 0;
    std::vector<std::pair<int, int>> mDrags;
};
