// The audio-thread path of the binding allocates nothing once warmed up: process calls of every
// entry (including host blocks longer than the block length), transport queries, MIDI in and out
// and parameter changes.

#include "AllocationCounter.h"
#include "IPlugVST.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

vst2::TimeInfo gTime{};
int gEventsOut = 0;

intptr_t ORX_VSTCALL TimeHost(vst2::Effect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == vst2::audioMasterGetTime)
        return reinterpret_cast<intptr_t>(&gTime);
    if (opcode == vst2::audioMasterProcessEvents)
        ++gEventsOut;
    return 1;
}

class BusyPlug : public IPlugVST
{
public:
    BusyPlug()
        : IPlugVST(&TimeHost, 1, "2-2", 1, "Busy", "", "Maker", 0x10000, orx::FourCC("busy"),
                   orx::FourCC("test"), 0, true, true, true)
    {
        GetParam(0)->InitDouble("Gain", 1.0, 0.0, 2.0, 0.01);
    }

    void ProcessBlock(double** inputs, double** outputs, int nFrames) override
    {
        ITimeInfo info;
        TransportTimeInfo(&info);
        int num = 0, den = 0;
        TransportTimeSignature(&num, &den);
        mSum += TransportSamplePosition() + TransportTempo() + info.mMusicalPos + num + den;
        IPlugBase::ProcessBlock(inputs, outputs, nFrames);
        if (TransportIsRunning())
        {
            IMidiMessage notes[2];
            notes[0].MakeNoteOn(60, 100, 0, 0);
            notes[1].MakeNoteOff(60, nFrames - 1, 0);
            EmitMidiMessages(notes, 2);
        }
    }

    double mSum = 0.0;
};

} // namespace

TEST(PlugRealtime, ProcessingAllocatesNothingAfterWarmUp)
{
    gTime.tempo = 120.0;
    gTime.sampleRate = 44100.0;
    gTime.timeSigNumerator = 4;
    gTime.timeSigDenominator = 4;
    gTime.flags =
        vst2::kTimePlaying | vst2::kTimeTempoValid | vst2::kTimeSigValid | vst2::kTimePpqValid;
    BusyPlug plug;
    vst2::Effect* e = plug.GetEffect();
    e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, vst2::effSetBlockSize, 0, 256, nullptr, 0.0f);
    e->dispatcher(e, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);

    std::vector<float> f(4 * 256 + 5, 0.25f);
    std::vector<double> d(4 * 256 + 5, 0.25);
    float* fIn[] = {f.data(), f.data()};
    std::vector<float> fOutData(f.size()), fOutData2(f.size());
    float* fOut[] = {fOutData.data(), fOutData2.data()};
    std::vector<double> dOutData(d.size()), dOutData2(d.size());
    double* dIn[] = {d.data(), d.data()};
    double* dOut[] = {dOutData.data(), dOutData2.data()};
    vst2::MidiEvent note{};
    note.type = vst2::kEventMidi;
    note.midiData[0] = static_cast<char>(0xE0);
    vst2::Events events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst2::Event*>(&note);

    e->processReplacing(e, fIn, fOut, 256); // warm-up
    AllocationCounter counter;
    for (int i = 0; i < 50; ++i)
    {
        gTime.samplePos += 256;
        gTime.ppqPos += 0.5;
        e->processReplacing(e, fIn, fOut, 256);
        e->process(e, fIn, fOut, 4 * 256 + 5);
        e->processDoubleReplacing(e, dIn, dOut, 4 * 256 + 5);
        e->dispatcher(e, vst2::effProcessEvents, 0, 0, &events, 0.0f);
        e->setParameter(e, 0, 0.5f);
        e->getParameter(e, 0);
    }
    EXPECT_EQ(counter.Allocations(), 0);
    EXPECT_EQ(gEventsOut, 2 + 50 * (2 + 2 * 5 * 2 + 1));
    EXPECT_EQ(fOutData[0], 0.5f);            // replaced, then accumulated once
    EXPECT_EQ(fOutData[4 * 256 + 4], 12.5f); // only ever accumulated: 50 times
    EXPECT_NE(plug.mSum, 0.0);
    e->dispatcher(e, vst2::effMainsChanged, 0, 0, nullptr, 0.0f);
}
