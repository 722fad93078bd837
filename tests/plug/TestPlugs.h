#pragma once
// In-process doubles for the plug-in base tests: a minimal binding that records what it would
// tell the host, and a graphics context that records what it is handed.

#include "IPlugBase.h"
#include "IPlugEditor.h"
#include "TextUtil.h"

#include <utility>
#include <vector>

class BasePlug : public IPlugBase
{
public:
    explicit BasePlug(const char* layout = "1-1 2-2", int nPresets = 3, int nParams = 3)
        : IPlugBase(nParams, layout, nPresets, "Effect", "Product", "Maker", 0x010203,
                    orx::FourCC("abcd"), orx::FourCC("efgh"), 0, true, true, true)
    {
        if (nParams >= 3)
        {
            GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
            GetParam(1)->InitInt("Steps", 4, 1, 16);
            GetParam(2)->InitBool("On", false);
        }
    }

    void HandleParamChange(int paramIdx) override { mChanges.push_back(paramIdx); }
    // As the binding's block-size request reaches it: under the instance lock.
    void SetBlockLength(int nFrames) override
    {
        IMutexLock lock(Mutex());
        IPlugBase::SetBlockLength(nFrames);
    }
    void BeginParamGesture(int) override {}
    void ReportParamChange(int paramIdx, double normalised) override
    {
        mReports.push_back({paramIdx, normalised});
    }
    void EndParamGesture(int) override {}
    int TransportSamplePosition() override { return 0; }
    double TransportTempo() override { return 0.0; }
    void TransportTimeSignature(int* n, int* d) override { *n = *d = 0; }
    void TransportTimeInfo(ITimeInfo*) override {}
    bool TransportIsRunning() override { return true; }
    void EditorResized() override {}
    void HostSetup() override {}
    bool EmitMidiMessage(const IMidiMessage& msg) override
    {
        mEmitted.push_back(msg);
        return true;
    }
    bool EmitMidiMessages(const IMidiMessage* msgs, int count) override
    {
        for (int i = 0; i < count; ++i)
            EmitMidiMessage(msgs[i]);
        return true;
    }
    bool EmitSysEx(const ISysExMessage&) override { return false; }

    std::vector<int> mChanges;
    std::vector<std::pair<int, double>> mReports;
    std::vector<IMidiMessage> mEmitted;
};

struct Push
{
    int mIdx;
    double mValue;
    bool mNormalised;
};

// An off-screen context that records what the plug-in hands it instead of acting on it.
// An editor as the plug-in layer knows one: nothing of graphics.
class FakeEditor : public IPlugEditor
{
public:
    explicit FakeEditor(int* deleted) : mpDeleted(deleted) {}
    ~FakeEditor() override { ++*mpDeleted; }
    void PushParamValue(int idx, double value, bool normalised) noexcept override
    {
        mPushes.push_back({idx, value, normalised});
    }
    // Answers as an editor that defers pushes would when mTakesAll is set.
    bool PushAllAtNextFrame() noexcept override
    {
        mAllAsked += mTakesAll ? 1 : 0;
        return mTakesAll;
    }
    void CreateSurfaces() noexcept override { ++mSurfaces; }
    void* OpenWindow(void* parent) noexcept override
    {
        mOpen = parent != nullptr;
        return parent;
    }
    void CloseWindow() noexcept override { mOpen = false; }
    bool IsWindowOpen() const noexcept override { return mOpen; }
    bool HasScreen() const noexcept override { return true; }
    void IdleWindow() noexcept override {}
    int Width() const noexcept override { return 720; }
    int Height() const noexcept override { return 650; }

    bool mOpen = false;
    bool mTakesAll = false;
    int mAllAsked = 0;

    std::vector<Push> mPushes;
    int mSurfaces = 0;
    int* mpDeleted;
};
