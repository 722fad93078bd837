// MIDI from the host: notes, controllers (all notes off among them), pitch bend, program
// changes, system exclusive, at every offset of the block and at offsets a careless host gets
// wrong, in lists of every length; and a musician's hands: keys held across blocks and let go
// inside notes, controllers swept, over stops, loops and state reloads. Whatever the plug-in
// sends back stays inside its block, in order, and leaves no note sounding.

#include "Scenario.h"

#include <vector>

namespace orxvalidate
{
namespace
{

vst2::MidiEvent Midi(int32_t offset, uint8_t status, uint8_t d1, uint8_t d2, Random& rng)
{
    vst2::MidiEvent e{};
    e.type = vst2::kEventMidi;
    // Some hosts send the 24 bytes of the oldest record.
    e.byteSize = rng.Below(4) == 0 ? 24 : static_cast<int32_t>(sizeof(e));
    e.deltaFrames = offset;
    e.flags = rng.Below(2);
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(d1);
    e.midiData[2] = static_cast<char>(d2);
    return e;
}

void MidiInput(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    Random& rng = cx.Rng();
    std::vector<char> dump = {char(0xF0), 0x7E, 0x7F, 0x09, 0x01, char(0xF7)};
    for (int b = 0; b < cx.Rounds(6000, 200000) && cx.TimeLeft(); ++b)
    {
        const int frames = 1 + rng.Below(1024);
        std::vector<vst2::MidiEvent> midi;
        std::vector<vst2::SysExEvent> sysex;
        const int n = rng.Below(6) == 0 ? 200 + rng.Below(300) : rng.Below(5);
        int32_t at = 0;
        for (int k = 0; k < n; ++k)
        {
            at += rng.Below(frames / (n + 1) + 1);
            int32_t offset = at < frames ? at : frames - 1;
            if (rng.Below(50) == 0) // a careless host: beyond the block or before it
                offset = rng.Below(2) ? frames + rng.Below(5000) : -1 - rng.Below(100);
            const uint8_t channel = static_cast<uint8_t>(rng.Below(16));
            const uint8_t key = static_cast<uint8_t>(rng.Below(128));
            switch (rng.Below(9))
            {
            case 0:
            case 1:
                midi.push_back(Midi(offset, 0x90 | channel, key, 1 + rng.Below(127), rng));
                break;
            case 2:
                midi.push_back(Midi(offset, 0x80 | channel, key, 0, rng));
                break;
            case 3:
                midi.push_back(Midi(offset, 0xB0 | channel, rng.Below(3) ? key : 123, 0, rng));
                break;
            case 4:
                midi.push_back(Midi(offset, 0xE0 | channel, key, rng.Below(128), rng));
                break;
            case 5:
                midi.push_back(Midi(offset, 0xC0 | channel, key, 0, rng));
                break;
            case 6:
                midi.push_back(Midi(offset, 0xD0 | channel, key, 0, rng));
                break;
            case 7:
                midi.push_back(Midi(offset, 0xF8, 0, 0, rng)); // clock
                break;
            default:
            {
                vst2::SysExEvent e{};
                e.type = vst2::kEventSysEx;
                e.byteSize = static_cast<int32_t>(sizeof(e));
                e.deltaFrames = offset;
                e.dumpBytes = static_cast<int32_t>(dump.size());
                e.sysexDump = dump.data();
                sysex.push_back(e);
            }
            }
        }
        std::vector<vst2::Event*> list;
        for (vst2::MidiEvent& e : midi)
            list.push_back(reinterpret_cast<vst2::Event*>(&e));
        for (vst2::SysExEvent& e : sysex)
            list.push_back(reinterpret_cast<vst2::Event*>(&e));
        if (!list.empty() || rng.Below(10) == 0)
            s->Host().SendEvents(list);
        s->Play(frames);
        if (rng.Below(200) == 0)
            s->Transport().mPlaying = !s->Transport().mPlaying;
    }
    s->Transport().mPlaying = true;
    s->PlayFor(44100, 512);
    s->StopAndDrain();
    cx.Judge(*s, "MIDI from the host");
}

void Hands(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    Random& rng = cx.Rng();
    // The controllers a set-up binds most (modulation, volume, cutoff, sustain) and a few more.
    static constexpr uint8_t kControllers[] = {1, 2, 7, 10, 11, 64, 71, 74};
    bool held[16][128] = {};
    int numHeld = 0;
    const std::vector<uint8_t> saved = s->HasChunks() ? s->State() : std::vector<uint8_t>();
    for (int b = 0; b < cx.Rounds(4000, 150000) && cx.TimeLeft(); ++b)
    {
        const int frames = 1 + rng.Below(1024);
        std::vector<vst2::MidiEvent> midi;
        const int n = rng.Below(4) == 0 ? 20 + rng.Below(60) : rng.Below(4);
        int32_t at = 0;
        for (int k = 0; k < n; ++k)
        {
            at += rng.Below(frames / (n + 1) + 1);
            const int32_t offset = at < frames ? at : frames - 1;
            const uint8_t channel = static_cast<uint8_t>(rng.Below(3)); // a keyboard or two
            const int what = rng.Below(10);
            if (what < 3 || (what < 6 && numHeld == 0))
            {
                const uint8_t key = static_cast<uint8_t>(36 + rng.Below(48));
                numHeld += !held[channel][key];
                held[channel][key] = true;
                midi.push_back(Midi(offset, 0x90 | channel, key, 1 + rng.Below(127), rng));
            }
            else if (what < 6)
            {
                // Let go of a held key (note-off, or note-on at velocity 0).
                for (int c = 0; c < 16; ++c)
                    for (int key = 0; key < 128; ++key)
                        if (held[c][key] && rng.Below(3) == 0)
                        {
                            held[c][key] = false;
                            --numHeld;
                            const uint8_t status = rng.Below(2) ? 0x80 : 0x90;
                            midi.push_back(Midi(offset, static_cast<uint8_t>(status | c),
                                                static_cast<uint8_t>(key), 0, rng));
                        }
            }
            else
            {
                // A sweep step of a controller, bound or not.
                const uint8_t cc = kControllers[rng.Below(8)];
                midi.push_back(Midi(offset, 0xB0 | channel, cc, rng.Below(128), rng));
            }
        }
        std::vector<vst2::Event*> list;
        for (vst2::MidiEvent& e : midi)
            list.push_back(reinterpret_cast<vst2::Event*>(&e));
        if (!list.empty())
            s->Host().SendEvents(list);
        s->Play(frames);
        switch (rng.Below(300))
        {
        case 0: // stop or start with keys held
            s->Transport().mPlaying = !s->Transport().mPlaying;
            break;
        case 1: // a loop back
            s->Transport().mSamplePos = rng.Below(4) * 22050.0;
            break;
        case 2: // the project reloaded while keys are held
            if (!saved.empty())
                s->Host().SetChunk(saved, true);
            s->CollectOutside();
            break;
        default:
            break;
        }
    }
    // Every key let go, then a stop: nothing may be left sounding.
    std::vector<vst2::MidiEvent> release;
    for (int c = 0; c < 16; ++c)
        for (int key = 0; key < 128; ++key)
            if (held[c][key])
                release.push_back(
                    Midi(0, static_cast<uint8_t>(0x80 | c), static_cast<uint8_t>(key), 0, rng));
    std::vector<vst2::Event*> list;
    for (vst2::MidiEvent& e : release)
        list.push_back(reinterpret_cast<vst2::Event*>(&e));
    s->Transport().mPlaying = true;
    if (!list.empty())
        s->Host().SendEvents(list);
    s->PlayFor(44100, 512);
    s->StopAndDrain();
    cx.Judge(*s, "keys and controllers");
}

} // namespace

void AddMidiScenarios(std::vector<Scenario>& out)
{
    out.push_back({"midi-input",
                   "notes, controllers, bends, programs, clock and SysEx from the host at every "
                   "offset (some outside the block), lists of up to 500 events",
                   false, MidiInput});
    out.push_back({"midi-hands",
                   "keys held across blocks and let go inside notes, controllers swept on three "
                   "channels, over stops, loops and state reloads; at the end no note sounds",
                   false, Hands});
}

} // namespace orxvalidate
