// A small plug-in made of framework code only: a few parameters of each kind, audio through
// with a gain, incoming notes echoed with a transposition, one note per block while the
// transport plays, and its parameter values as the state chunk. Built with ORX_TEST_EDITOR
// (1 or 2: two libraries with different unique ids) it has the editor of TestEditor.h.

#include "ModulePath.h"
#include "TestEditor.h"
#include "TestPluginParams.h"
#include "VstEntry.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#ifndef ORX_TEST_EFFECT
#define ORX_TEST_EFFECT 0
#endif
#ifndef ORX_TEST_EDITOR
#define ORX_TEST_EDITOR 0
#endif

namespace
{

struct Config
{
    const char* mpLayout;
    int mPresets;
    const char* mpEffectName;
    const char* mpProductName;
    bool mMidi;
    bool mChunks;
    bool mInstrument;
    int mUniqueId;
};

constexpr Config kConfig =
    ORX_TEST_EFFECT   ? Config{"2-2", 0, "OrxTestEffect", "", false, false, false, kTestUniqueId}
    : ORX_TEST_EDITOR ? Config{"1-1 2-2",
                               3,
                               ORX_TEST_EDITOR == 1 ? "OrxTestEditor" : "OrxTestEditor2",
                               "Orlantix Test Editor",
                               true,
                               true,
                               true,
                               ORX_TEST_EDITOR == 1 ? kTestEditorUniqueId : kTestEditor2UniqueId}
                      : Config{"1-1 2-2", 3,    "OrxTestPlugin", "Orlantix Test Plug-in", true,
                               true,      true, kTestUniqueId};

class TestPlugin final : public IPlugVST
{
public:
    explicit TestPlugin(vst2::HostCallback host)
        : IPlugVST(host, kNumDeclared, kConfig.mpLayout, kConfig.mPresets, kConfig.mpEffectName,
                   kConfig.mpProductName, "Orlantix Tests", kTestVersion, kConfig.mUniqueId,
                   orx::FourCC("OxTs"), 0, kConfig.mMidi, kConfig.mChunks, kConfig.mInstrument)
    {
        GetParam(kGain)->InitDouble("Gain", 1.0, 0.0, 2.0, 0.01, "x");
        GetParam(kTransp)->InitInt("Transp", 12, -24, 24, "st");
        IParameter* mode = GetParam(kMode);
        mode->InitEnum("Mode", 1, 3);
        mode->AddDisplayText(0, "Alpha");
        mode->AddDisplayText(1, "Beta");
        mode->AddDisplayText(2, "Gamma");
        GetParam(kEcho)->InitBool("Echo", true);
        GetParam(kCurve)->InitDouble("Curve", 0.25, 0.0, 1.0, 0.001);
        GetParam(kCurve)->SetShape(2.0);
        GetParam(kAtten)->InitDouble("Atten", 6.5, 0.0, 60.0, 0.5, "dB");
        GetParam(kAtten)->SetNegateDisplay(true);

        static const char* const kProbeNames[] = {
            "Blocks",  "SubFrames", "SeenPos",  "SeenTempo", "SeenNum", "SeenDen",
            "SeenRun", "TiPos",     "TiTempo",  "TiPpq",     "TiBar",   "TiNum",
            "TiDen",   "TiCycS",    "TiCycE",   "TiPlay",    "TiCyc",   "Resets",
            "Active",  "Changes",   "Overlaps", "HostId"};
        static_assert(std::size(kProbeNames) == kNumParams - kNumDeclared);
        AppendParams(kNumParams - kNumDeclared);
        for (int i = kNumDeclared; i < kNumParams; ++i)
            GetParam(i)->InitDouble(kProbeNames[i - kNumDeclared], 0.0, -1e12, 1e12, 1e-6);
        GetParam(kActive)->SetValue(-1.0);
        if constexpr (ORX_TEST_EDITOR != 0)
            testeditor::AttachTestEditor(*this, kGain, kEcho, kMode, orx::ModuleHandle());
    }

    void HandleReset() override
    {
        IMutexLock lock(Mutex());
        Bump(kResets);
        Probe(kHostId, HostId());
    }

    void HandleActivate(bool active) override
    {
        IMutexLock lock(Mutex());
        Probe(kActive, active ? 1.0 : 0.0);
    }

    void HandleParamChange(int /*paramIdx*/) override
    {
        IMutexLock lock(Mutex());
        Bump(kParamChanges);
        if (mInProcess.load())
            Bump(kOverlaps);
    }

    void ProcessBlock(double** inputs, double** outputs, int nFrames) override
    {
        mInProcess.store(true);
        Bump(kBlocks);
        Probe(kSubFrames, nFrames);
        // As identified at open: asking the host is main-thread work.
        Probe(kHostId, StoredHostId());
        ProbeTransport();
        IPlugBase::ProcessBlock(inputs, outputs, nFrames);
        const double gain = GetParam(kGain)->Value();
        for (int c = 0; c < NOutChannels(); ++c)
            for (int s = 0; s < nFrames; ++s)
                outputs[c][s] *= gain;
        if (DoesMidi() && TransportIsRunning())
        {
            IMidiMessage note;
            note.MakeNoteOn(60, 100, nFrames - 1, 0);
            EmitMidiMessage(note);
        }
        mInProcess.store(false);
    }

    void HandleMidiMessage(const IMidiMessage& msg) override
    {
        const int kind = msg.MessageKind();
        if (kind == IMidiMessage::kControlChange && msg.mData1 == kGainController)
        {
            // A bound controller: value, editor, handler run; the host is told from the main
            // thread's next entry (the editor's own path is main-thread work).
            const double x = msg.mData2 / 127.0;
            GetParam(kGain)->SetNormalised(x);
            if (IPlugEditor* editor = GetEditor())
                editor->PushParamValue(kGain, x, true);
            HandleParamChange(kGain);
            InformHostOfParamChange(kGain, x);
            return;
        }
        if (kind != IMidiMessage::kNoteOn && kind != IMidiMessage::kNoteOff)
        {
            IPlugVST::HandleMidiMessage(msg);
            return;
        }
        if (GetParam(kEcho)->Value() < 0.5)
            return;
        IMidiMessage echo = msg;
        const int note = msg.NoteNumber() + static_cast<int>(GetParam(kTransp)->Value());
        echo.mData1 = static_cast<uint8_t>(std::clamp(note, 0, 127));
        EmitMidiMessage(echo);
    }

    bool GetMidiNoteText(int noteNumber, char* text, int size) override
    {
        static const char* const kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                             "F#", "G",  "G#", "A",  "A#", "B"};
        if (noteNumber < 0 || noteNumber > 127 || !text || size <= 0)
            return false;
        std::snprintf(text, static_cast<std::size_t>(size), "%s%d", kNames[noteNumber % 12],
                      noteNumber / 12 - 1);
        return true;
    }

    bool WriteState(IByteChunk& chunk) override
    {
        IMutexLock lock(Mutex());
        return chunk.Put(kTestStateMagic) && WriteParamValues(chunk, false);
    }

    int ReadState(const IByteChunk& chunk, int startPos) override
    {
        IMutexLock lock(Mutex());
        int magic = 0;
        const int pos = chunk.Get(&magic, startPos);
        if (pos < 0 || magic != kTestStateMagic)
            return -1; // not ours: leave every parameter as it is
        return UnserializeParams(chunk, pos, false);
    }

private:
    void Probe(int idx, double value) { GetParam(idx)->SetValue(value); }
    void Bump(int idx) { Probe(idx, GetParam(idx)->Value() + 1.0); }

    void ProbeTransport()
    {
        Probe(kSeenPos, TransportSamplePosition());
        Probe(kSeenTempo, TransportTempo());
        int num = -1;
        int den = -1;
        TransportTimeSignature(&num, &den);
        Probe(kSeenNum, num);
        Probe(kSeenDen, den);
        Probe(kSeenRun, TransportIsRunning() ? 1.0 : 0.0);
        ITimeInfo info;
        TransportTimeInfo(&info);
        Probe(kTiPos, info.mSamplePos);
        Probe(kTiTempo, info.mTempo);
        Probe(kTiPpq, info.mMusicalPos);
        Probe(kTiBar, info.mBarStartPos);
        Probe(kTiNum, info.mNumerator);
        Probe(kTiDen, info.mDenominator);
        Probe(kTiCycS, info.mCycleStart);
        Probe(kTiCycE, info.mCycleEnd);
        Probe(kTiPlay, info.mPlaying ? 1.0 : 0.0);
        Probe(kTiCyc, info.mCycling ? 1.0 : 0.0);
    }

    std::atomic<bool> mInProcess{false};
};

} // namespace

IPlugVST* MakePlugInstance(vst2::HostCallback host)
{
    return new TestPlugin(host);
}
