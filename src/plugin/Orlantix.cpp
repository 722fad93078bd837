#include "Orlantix.h"

#include "Check.h"
#include "ConfigurationFileReader.h"
#include "HomeDirectory.h"
#include "IPlugEditor.h"
#include "OrlantixGui.h"
#include "PresetFolder.h"
#include "TextUtil.h"
#include "ThreadRole.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

namespace
{

// Every key on every channel may still wait for its note-off, and the notes of one block come
// on top: five per pulse, with a pulse as often as every 32 samples (1/32 triplets at 999 BPM
// and 8 kHz). Beyond the cap a host's block is absurd; notes that find no room are dropped and
// counted, never written out of bounds.
int NotesForBlock(int frames) noexcept
{
    constexpr int kShortestPulse = 32;
    constexpr int kFramesCap = 65536;
    frames = std::clamp(frames, 0, kFramesCap);
    return NoteStream::kNumNotes * NoteStream::kNumChannels +
           kNumPitchDegrees * ((frames + kShortestPulse - 1) / kShortestPulse);
}

} // namespace

Orlantix::Orlantix(PlugHost host)
    : PlugBinding(host, kNumDeclaredParams, "1-1 2-2", kNumPresets, "Orlantix", "", "Dravenholm",
                  0x10000, orx::FourCC("dhOx"), orx::FourCC("dhvm"), 0, true, true, true)
{
    ORX_MAIN_THREAD();
    if (!AppendParams(kNumAppendedParams) || NParams() != kNumOrlantixParams)
        throw std::bad_alloc();
    mConfigPool.RegisterDefaults();
    ReadConfiguration(mConfigPool);
    const std::string presetFolder =
        ResolveBesideLibrary(mConfigPool.StringValue(kConfigPresetFolder));
    mConfigPool.SetString(kConfigPresetFolder, presetFolder.c_str());
    mpPresetTree = BuildPresetTree(mConfigPool.StringValue(kConfigPresetFolder));
    mEngine.SetSampleRate(mSampleRate);
    // Notes only: the audio outputs are silence, the inputs unread.
    SetAudioSilent(true);
    InitParams();
    MakeGrooveParams();
    mEngine.Reserve(NotesForBlock(GetBlockSize()));
    mpGui = std::make_unique<OrlantixGui>(*this);
    SetView(nullptr);
}

Orlantix::~Orlantix()
{
    ORX_MAIN_THREAD();
    // The editor goes first, while the editor context it hooks into still exists.
    SetView(nullptr);
    mpOwnedView.reset();
}

void Orlantix::SetView(OrlantixView* view) noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    mpView = view ? view : &mNoView;
    mEngine.SetView(mpView);
}

void Orlantix::AdoptView(std::unique_ptr<OrlantixView> view) noexcept
{
    ORX_MAIN_THREAD();
    SetView(view.get());
    mpOwnedView = std::move(view);
}

const ParamChangeDesc* Orlantix::ParamDesc(int paramIdx) const noexcept
{
    return paramIdx >= 0 && paramIdx < kNumOrlantixParams ? mpParamChangeDesc[paramIdx] : nullptr;
}

void Orlantix::HandleReset()
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    mSampleRate = GetSampleRate();
    mSampleRateInt = orx::TruncateToInt(mSampleRate);
    mSamplesPerMs = mSampleRate * 0.001;
    mEngine.SetSampleRate(mSampleRate);
}

void Orlantix::HandleActivate(bool active)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    PlugBinding::HandleActivate(active);
    if (active)
        mPassThrough.ReserveSysEx();
    else
    {
        mPassThrough.Clear();
        mEngine.mKeys.ClearQueue();
    }
}

void Orlantix::SetBlockLength(int nFrames)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    IPlugBase::SetBlockLength(nFrames);
    mEngine.Reserve(NotesForBlock(GetBlockSize()));
}

void Orlantix::HandleParamChange(int paramIdx)
{
    IMutexLock lock(Mutex());
    const IParameter* param = GetParam(paramIdx);
    if (!param)
        return;
    const double v = param->Value();
    GrooveMaker& groove = mEngine.mGroove;
    if (paramIdx >= kGrooveLock0 && paramIdx < kGrooveLock0 + kNumGrooveSteps)
    {
        groove.SetLocked(paramIdx - kGrooveLock0, v >= 0.5);
        return;
    }
    if (paramIdx >= kGrooveMute0 && paramIdx < kGrooveMute0 + kNumGrooveSteps)
    {
        groove.SetMuted(paramIdx - kGrooveMute0, v >= 0.5);
        mpView->RedrawGroove();
        return;
    }
    if (const ParamChangeDesc* desc = ParamDesc(paramIdx); desc && desc->mHandler)
        desc->mHandler(*this, *desc, v);
}

void Orlantix::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int nFrames)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    TransportState t;
    int numerator = 0;
    int denominator = 0;
    TransportTimeSignature(&numerator, &denominator);
    if (numerator < 1 || denominator < 1)
    {
        numerator = 4;
        denominator = 4;
    }
    t.mNumerator = numerator;
    t.mDenominator = denominator;
    const double tempo = TransportTempo();
    t.mTempo = tempo > 0.0 ? tempo : 120.0;
    t.mSamplePos = std::max(TransportSamplePosition(), 0);
    t.mRunning = TransportIsRunning();

    // A long host block comes in pieces: each waiting message, and each key, counts in its own.
    const int pieceStart = PieceOffset();
    const bool lastPiece = pieceStart + nFrames >= HostBlockFrames();
    mEngine.mKeys.BeginPiece(pieceStart, nFrames, lastPiece);
    mEngine.ProcessBlock(t, nFrames);
    mPassThrough.Merge(
        mEngine.mMidiOut, pieceStart, nFrames, lastPiece,
        [this](const IMidiMessage& msg) { EmitMidiMessage(msg); },
        [this](const ISysExMessage& msg) { EmitSysEx(msg); });
}

void Orlantix::HandleMidiMessage(const IMidiMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    switch (msg.MessageKind())
    {
    case IMidiMessage::kNoteOn:
    case IMidiMessage::kNoteOff:
        // Tracked whatever the key-play mode, so a mode chosen while keys are held knows them.
        mEngine.mKeys.Push(msg.mOffset, msg.Channel(), msg.mData1,
                           msg.MessageKind() == IMidiMessage::kNoteOn && msg.mData2 > 0);
        return;
    case IMidiMessage::kControlChange:
        if (HandleController(msg))
            return;
        [[fallthrough]];
    default:
        // Sent with the next block; only a full queue sends at once rather than lose it.
        if (!mPassThrough.Push(msg))
            EmitMidiMessage(msg);
        return;
    }
}

bool Orlantix::HandleController(const IMidiMessage& msg) noexcept
{
    if (msg.mData1 >= kNumControllers)
        return false;
    // Channel mode messages (all notes off, all sound off, reset, omni, mono, poly) speak of
    // the receiver's notes, which Orlantix's own would contradict (it ends those itself):
    // neither learnt nor passed on, as ever.
    if (msg.mData1 >= kFirstChannelModeController)
        return true;
    if (mLearnParam >= 0)
    {
        // Recorded only: the editor shows it, and tells the host, at its next frame.
        if (!mLearnedNotice)
            mMapBeforeLearn = mControllerMap;
        mLearnedController = msg.mData1;
        mLearnedChannel = msg.Channel();
        mControllerMap.Learn(msg.mData1, msg.Channel(), mLearnParam);
        mLearnParam = -1;
        ++mMapVersion;
        mLearnedNotice = true;
    }
    const int paramIdx = mControllerMap.ParamFor(msg.mData1, msg.Channel());
    IParameter* param = GetParam(paramIdx);
    if (!param)
        return false;
    param->SetNormalised(std::min<int>(msg.mData2, 127) * (1.0 / 127.0));
    // The value the parameter took (a stepped one rounds), for the editor and host.
    const double x = param->Normalised();
    if (IPlugEditor* editor = GetEditor())
        editor->PushParamValue(paramIdx, x, true);
    HandleParamChange(paramIdx);
    // Sent from the main thread's next entry, never from here.
    InformHostOfParamChange(paramIdx, x);
    return true;
}

void Orlantix::HandleSysEx(const ISysExMessage& msg)
{
    ORX_AUDIO_THREAD_LOCKED(Mutex());
    mPassThrough.PushSysEx(msg);
}

void Orlantix::AssignController(int controller, int paramIdx, uint32_t channelMask) noexcept
{
    ORX_MAIN_THREAD();
    Mutex().Run(
        [&]() noexcept
        {
            mControllerMap.Assign(controller, GetParam(paramIdx) ? paramIdx : -1, channelMask);
            ++mMapVersion;
        });
}

ControllerAssignment Orlantix::Controller(int controller) const noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(const_cast<Orlantix*>(this)->Mutex());
    return mControllerMap.At(controller);
}

void Orlantix::LearnController(int paramIdx) noexcept
{
    ORX_MAIN_THREAD();
    Mutex().Run(
        [&]() noexcept
        {
            mLearnParam = GetParam(paramIdx) ? paramIdx : -1;
            ++mMapVersion;
        });
}

int Orlantix::LearningParam() const noexcept
{
    ORX_MAIN_THREAD();
    int param = -1;
    const_cast<Orlantix*>(this)->Mutex().Run([&]() noexcept { param = mLearnParam; });
    return param;
}

bool Orlantix::ControllerOf(int paramIdx, int& controller, int& channel) const noexcept
{
    ORX_MAIN_THREAD();
    const_cast<Orlantix*>(this)->Mutex().Run(
        [&]() noexcept { controller = mControllerMap.ControllerOf(paramIdx, &channel); });
    return controller >= 0;
}

namespace
{
std::string ControllerStepName(const char* verb, int controller, int channel)
{
    return std::string(verb) + " CC " + std::to_string(controller) + " (channel " +
           std::to_string(channel + 1) + ")";
}
} // namespace

void Orlantix::ForgetController(int paramIdx) noexcept
{
    ORX_MAIN_THREAD();
    int controller = -1, channel = -1;
    if (!ControllerOf(paramIdx, controller, channel))
        return;
    try
    {
        BeginEdit(ControllerStepName("Forget", controller, channel).c_str());
    }
    catch (...)
    {
        BeginEdit("Forget CC");
    }
    {
        IMutexLock lock(Mutex());
        mControllerMap.Forget(paramIdx);
        ++mMapVersion;
        InformHostOfStateChange();
    }
    EndEdit();
    FlushHostNotices(false);
}

unsigned Orlantix::ControllerMapVersion() const noexcept
{
    ORX_MAIN_THREAD();
    // Asked every frame: a word of its own, read without the lock.
    return mMapVersion.load(std::memory_order_relaxed);
}

bool Orlantix::RecordLearnedController() noexcept
{
    ORX_MAIN_THREAD();
    int controller = 0, channel = 0;
    // Asked every frame: the lock only when a learn has completed.
    if (!mLearnedNotice.load(std::memory_order_relaxed))
        return false;
    {
        IMutexLock lock(Mutex());
        if (!mLearnedNotice)
            return false;
        controller = mLearnedController;
        channel = mLearnedChannel;
    }
    // The step's before is the map the snapshots show until the notice is taken.
    try
    {
        BeginEdit(ControllerStepName("Learn", controller, channel).c_str());
    }
    catch (...)
    {
        BeginEdit("Learn CC");
    }
    {
        IMutexLock lock(Mutex());
        mLearnedNotice = false;
        InformHostOfStateChange();
    }
    EndEdit();
    FlushHostNotices(false);
    return true;
}

void Orlantix::SetKeyPlayMode(KeyPlayMode mode) noexcept
{
    ORX_MAIN_THREAD();
    {
        IMutexLock lock(Mutex());
        if (mEngine.mKeys.Mode() == mode)
            return;
        mEngine.mKeys.SetMode(mode);
        InformHostOfStateChange();
    }
    FlushHostNotices(false);
}

void Orlantix::SetChordSpanFromEditor(int beginStep, int numSteps)
{
    ORX_MAIN_THREAD();
    ORX_CHECK(kTag, 0 <= beginStep && beginStep < MAX_STEPS,
              "0 <= beginStep && beginStep < MAX_STEPS");
    ORX_CHECK(kTag, 1 <= numSteps && numSteps <= MAX_STEPS,
              "1 <= numSteps && numSteps <= MAX_STEPS");
    // Values, the engine and the editor's records only: the audio thread may run it.
    Mutex().Run(
        [&]() noexcept
        {
            IParameter* count = GetParam(kNumStep);
            IParameter* first = GetParam(kStepOne);
            const double oldCount = count->Value();
            const double oldFirst = first->Value();
            count->SetValue(std::clamp(static_cast<double>(numSteps), count->Min(), count->Max()));
            first->SetValue(
                std::clamp(static_cast<double>(beginStep) + 1.0, first->Min(), first->Max()));
            mEngine.SetStepCount(orx::TruncateToInt(count->Value()));
            mEngine.SetBeginStep(orx::TruncateToInt(first->Value()) - 1);
            if (IPlugEditor* editor = GetEditor())
            {
                editor->PushParamValue(kNumStep, count->Value(), false);
                editor->PushParamValue(kStepOne, first->Value(), false);
            }
            mpGui->RedrawAll();
            // The host's lanes follow the drag: each moved parameter as a gesture of its own.
            const auto tell = [this](int paramIdx, double before)
            {
                const IParameter* param = GetParam(paramIdx);
                if (param->Value() == before)
                    return;
                BeginParamGestureFromGUI(paramIdx);
                InformHostOfParamChange(paramIdx, param->Normalised());
                EndParamGestureFromGUI(paramIdx);
            };
            tell(kNumStep, oldCount);
            tell(kStepOne, oldFirst);
            if (count->Value() != oldCount || first->Value() != oldFirst)
                InformHostOfStateChange();
        });
    FlushHostNotices(false);
}
