// IPlugLV2: the run entry. The host's block is played in pieces that end where a time position
// arrives (the transport changed there) and are at most the block length long; the MIDI the
// host sent reaches the instance first, as a VST 2 host hands over its events before the block.

#include "IPlugLV2.h"

#include "IPlugEditor.h"
#include "TextUtil.h"

#include <lv2/atom/util.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// A number atom of any of the four kinds, or fallback.
double NumberOf(const LV2_Atom* atom, LV2_URID intType, LV2_URID longType, LV2_URID floatType,
                LV2_URID doubleType, double fallback) noexcept
{
    if (!atom)
        return fallback;
    const void* body = LV2_ATOM_BODY_CONST(atom);
    if (atom->type == intType && atom->size >= sizeof(int32_t))
        return *static_cast<const int32_t*>(body);
    if (atom->type == longType && atom->size >= sizeof(int64_t))
        return static_cast<double>(*static_cast<const int64_t*>(body));
    if (atom->type == floatType && atom->size >= sizeof(float))
        return *static_cast<const float*>(body);
    if (atom->type == doubleType && atom->size >= sizeof(double))
        return *static_cast<const double*>(body);
    return fallback;
}

} // namespace

void IPlugLV2::Run(uint32_t frames) noexcept
{
    // The calling thread is the audio thread until the run returns.
    const orx::ProcessCallScope audio;
    IMutexLock lock(Mutex(), IMutexLock::First{});
    try
    {
        mOutCapacity = 0;
        mLastOutFrame = 0;
        if (mpEventsOut)
        {
            // The host gives the output's capacity in its size; what is written replaces it.
            mOutCapacity = mpEventsOut->atom.size;
            mpEventsOut->atom.type = mUrid.mAtomSequence;
            mpEventsOut->atom.size = sizeof(LV2_Atom_Sequence_Body);
            mpEventsOut->body.unit = 0;
            mpEventsOut->body.pad = 0;
        }
        if (!mMapped)
            return;
        if (mStateChangedPending.exchange(false, std::memory_order_acq_rel) && !WriteStateChanged())
            mStateChangedPending.store(true, std::memory_order_release);
        ReadControlPorts();
        const int n = static_cast<int>(std::min<uint32_t>(frames, 0x7FFFFFFF));
        if (mpEventsIn)
        {
            LV2_ATOM_SEQUENCE_FOREACH(mpEventsIn, ev)
            {
                if (ev->body.type != mUrid.mMidiEvent || ev->body.size == 0)
                    continue;
                const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body));
                const int offset = orx::ClampToInt(std::clamp<int64_t>(ev->time.frames, 0, n));
                if (bytes[0] == 0xF0)
                {
                    ISysExMessage msg;
                    msg.mOffset = offset;
                    msg.mpData = bytes;
                    msg.mSize = static_cast<int>(ev->body.size);
                    HandleSysEx(msg);
                    continue;
                }
                IMidiMessage msg;
                msg.mOffset = offset;
                msg.mStatus = bytes[0];
                msg.mData1 = ev->body.size > 1 ? bytes[1] : 0;
                msg.mData2 = ev->body.size > 2 ? bytes[2] : 0;
                HandleMidiMessage(msg);
            }
        }
        int start = 0;
        if (mpEventsIn)
        {
            LV2_ATOM_SEQUENCE_FOREACH(mpEventsIn, ev)
            {
                if (ev->body.type != mUrid.mAtomObject && ev->body.type != mUrid.mAtomBlank)
                    continue;
                const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&ev->body);
                if (object->body.otype != mUrid.mTimePosition)
                    continue;
                const int at = orx::ClampToInt(std::clamp<int64_t>(ev->time.frames, start, n));
                PlayPieces(start, at, n);
                start = at;
                ReadPosition(object);
            }
        }
        PlayPieces(start, n, n);
    }
    catch (...)
    {
    }
    SetPiece(0, 0);
}

void IPlugLV2::ReadControlPorts() noexcept
{
    for (std::size_t i = 0; i < mControlPorts.size(); ++i)
    {
        const float* port = mControlPorts[i];
        if (!port)
            continue;
        const float v = *port;
        if (v == mSeenPortValues[i] || std::isnan(v))
            continue;
        mSeenPortValues[i] = v;
        if (mAdoptPorts)
            continue;
        const int idx = mControlParams[i];
        IParameter* param = GetParam(idx);
        // The editor's own edits come back through the port as the float it wrote: nothing
        // new then, and the parameter keeps the exact value that float stands for.
        if (v == lv2ports::PortValue(*param, param->Value()))
            continue;
        const double x = lv2ports::NormalisedFromPort(*param, v);
        if (x == param->Normalised())
            continue;
        if (IPlugEditor* editor = GetEditor())
            editor->PushParamValue(idx, x, true);
        param->SetNormalised(x);
        HandleParamChange(idx);
    }
    mAdoptPorts = false;
}

void IPlugLV2::ReadPosition(const LV2_Atom_Object* object) noexcept
{
    const LV2_Atom* frame = nullptr;
    const LV2_Atom* speed = nullptr;
    const LV2_Atom* bar = nullptr;
    const LV2_Atom* barBeat = nullptr;
    const LV2_Atom* beatsPerBar = nullptr;
    const LV2_Atom* beatUnit = nullptr;
    const LV2_Atom* bpm = nullptr;
    lv2_atom_object_get(object, mUrid.mFrame, &frame, mUrid.mSpeed, &speed, mUrid.mBar, &bar,
                        mUrid.mBarBeat, &barBeat, mUrid.mBeatsPerBar, &beatsPerBar, mUrid.mBeatUnit,
                        &beatUnit, mUrid.mBeatsPerMinute, &bpm, 0);
    auto number = [this](const LV2_Atom* atom, double fallback)
    {
        const double v = NumberOf(atom, mUrid.mAtomInt, mUrid.mAtomLong, mUrid.mAtomFloat,
                                  mUrid.mAtomDouble, fallback);
        return std::isfinite(v) ? v : fallback;
    };
    Position& p = mPosition;
    p.mKnown = true;
    p.mFrame = std::max(number(frame, p.mFrame), 0.0);
    p.mSpeed = number(speed, p.mSpeed);
    if (const double v = number(bpm, 0.0); v > 0.0)
        p.mBeatsPerMinute = v;
    if (const double v = number(beatsPerBar, 0.0); v > 0.0)
        p.mBeatsPerBar = v;
    if (const double v = number(beatUnit, 0.0); v >= 1.0 && v <= 256.0)
        p.mBeatUnit = static_cast<int>(v);
    const double barNumber = number(bar, -1.0);
    const double beatInBar = number(barBeat, -1.0);
    p.mBeat = barNumber >= 0.0 && beatInBar >= 0.0 ? barNumber * p.mBeatsPerBar + beatInBar : -1.0;
}

void IPlugLV2::PlayPieces(int from, int to, int hostFrames) noexcept
{
    const int block = GetBlockSize();
    if (block <= 0)
        return;
    for (int offset = from; offset < to; offset += block)
    {
        const int n = std::min(block, to - offset);
        SetPiece(offset, hostFrames);
        AttachInputBuffers(static_cast<float* const*>(nullptr), 0, 0, n);
        AttachOutputBuffers(static_cast<float* const*>(nullptr), 0, 0, n);
        ProcessBlock(InputData(), OutputData(), n);
        // The host reports its position again only when it jumps: move it on meanwhile.
        Position& p = mPosition;
        if (p.mKnown && p.mSpeed != 0.0)
        {
            p.mFrame += n * p.mSpeed;
            if (p.mBeat >= 0.0 && GetSampleRate() > 0.0)
                p.mBeat += n * p.mSpeed * p.mBeatsPerMinute / (60.0 * GetSampleRate());
        }
    }
}

bool IPlugLV2::WriteEvent(int frame, LV2_URID type, const void* body, uint32_t size) noexcept
{
    if (!mpEventsOut || !mMapped || (size > 0 && !body))
        return false;
    const uint32_t used = mpEventsOut->atom.size;
    const uint32_t need = lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom_Event)) + size);
    if (need > mOutCapacity || used > mOutCapacity - need)
        return false;
    // A sequence runs forward in time.
    frame = std::max(frame, mLastOutFrame);
    mLastOutFrame = frame;
    auto* event =
        reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&mpEventsOut->body) + used);
    event->time.frames = frame;
    event->body.type = type;
    event->body.size = size;
    if (size > 0)
        std::memcpy(LV2_ATOM_BODY(&event->body), body, size);
    mpEventsOut->atom.size = used + need;
    return true;
}

bool IPlugLV2::WriteStateChanged() noexcept
{
    const LV2_Atom_Object_Body body{0, mUrid.mStateChanged};
    return WriteEvent(0, mUrid.mAtomObject, &body, sizeof(body));
}
