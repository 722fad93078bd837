#pragma once
// An Orlantix instance with its editor, linked into the test program and hosted by our own VST
// 2 host (VstHost::LoadEntry), so a test reaches both the effect record and the instance behind
// it. The editor's window is opened in the headless window layer; the test drives it with
// mouse events at the layout's coordinates, ticks its frames, and plays the host's transport
// to hear what the edits did.

#include "EditorLayout.h"
#include "EventStream.h"
#include "HeadlessWindow.h"
#include "HostedStream.h"
#include "IGraphicsWin.h"
#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "OrlantixInProcess.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace editor_test
{

// One pulse of the default "1/8" at 120 BPM and 44.1 kHz.
inline constexpr long long kPulse = 11025;

class Harness
{
public:
    Harness()
    {
        EXPECT_TRUE(mHost.LoadEntry(&OrlantixInProcessEntry, "Orlantix (in process)"))
            << mHost.Error();
        mHost.Start(44100.0f, 512);
        mpPlug = static_cast<Orlantix*>(static_cast<IPlugVST*>(mHost.Effect()->object));
        mpEditor = OrlantixEditor::Of(*mpPlug);
        mpWindow = std::make_unique<HeadlessWindow>(mpEditor->Graphics());
        mpWindow->Open();
        mpWindow->Tick();
    }

    Orlantix& Plug() { return *mpPlug; }
    OrlantixEditor& Editor() { return *mpEditor; }
    IGraphicsWin& Graphics() { return mpEditor->Graphics(); }
    HeadlessWindow& Window() { return *mpWindow; }
    orxhost::VstHost& Host() { return mHost; }

    // The first control bound to paramIdx.
    IControl* ControlOf(int paramIdx)
    {
        for (int i = 0; i < Graphics().NControls(); ++i)
            if (Graphics().GetControl(i)->ParamIdx() == paramIdx)
                return Graphics().GetControl(i);
        return nullptr;
    }
    // The centre of a control's rectangle.
    static std::pair<int, int> Centre(const IControl& c)
    {
        const IRect& r = c.GetRECT();
        return {(r.mL + r.mR) / 2, (r.mT + r.mB) / 2};
    }

    // Plays `frames` from sample position `from` in host blocks of `block` frames and answers
    // the MIDI sent, at absolute sample times.
    std::vector<StreamEvent> Play(long long from, long long frames, int block = 512)
    {
        mHost.GetTransport().mSamplePos = static_cast<double>(from);
        return PlayHost(mHost, frames, block);
    }

    // The host's normalised value for plain value v of a parameter.
    float Normalised(int paramIdx, double v) const
    {
        return static_cast<float>(mpPlug->GetParam(paramIdx)->ToNormalised(v));
    }

private:
    orxhost::VstHost mHost;
    Orlantix* mpPlug = nullptr;
    OrlantixEditor* mpEditor = nullptr;
    std::unique_ptr<HeadlessWindow> mpWindow;
};

inline bool IsNoteOn(const StreamEvent& e)
{
    return (e.mStatus & 0xF0) == 0x90;
}

// The pulse an event belongs to (the default pattern plays on pulse boundaries).
inline long long PulseOf(const StreamEvent& e)
{
    return e.mTime / kPulse;
}

} // namespace editor_test
