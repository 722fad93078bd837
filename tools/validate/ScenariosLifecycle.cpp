// Instances made, opened and closed in every order hosts use, and every opcode with null and
// unexpected pointers, values and indices.

#include "Scenario.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orxvalidate
{
namespace
{

void Lifecycle(Context& cx)
{
    const int rounds = cx.Rounds(30, 400);
    for (int r = 0; r < rounds && cx.TimeLeft(); ++r)
    {
        {
            auto s = cx.Make(false); // loaded and closed, never opened
            if (!s)
                return;
            s->Host().Close();
        }
        {
            auto s = cx.Make(false); // opened twice, resumed without a block size, closed resumed
            s->Host().Open();
            s->Host().Open();
            s->Host().Resume();
            s->Play(64);
            s->Host().Close();
        }
        {
            auto s = cx.Make(); // resumed and suspended again and again, then the usual close
            for (int k = 0; k < 4; ++k)
            {
                s->Host().Suspend();
                s->Host().Suspend();
                s->Host().Resume();
                s->Host().Resume();
                s->Play(128);
            }
            s->StopAndDrain();
            cx.Judge(*s, "resume and suspend");
        }
    }
    // Instances side by side share nothing: the same calls give the same events.
    auto a = cx.Make();
    auto b = cx.Make();
    auto c = cx.Make();
    for (int k = 0; k < 200; ++k)
    {
        a->Play(256);
        b->Play(256);
        c->Host().SetParameter(k % std::max(1, c->NumParams()), 0.5f);
        c->Play(256);
    }
    a->StopAndDrain(256);
    b->StopAndDrain(256);
    cx.Judge(*a, "three instances, first");
    cx.Judge(*b, "three instances, second");
    if (a->EventLog() != b->EventLog())
        cx.Fail("two instances played alongside a third one sent different events");
}

// Opcodes whose pointer (and for some the value) names a record the plug-in reads or a place
// it writes a pointer to: only null or zeros there, as any host would hand over.
bool TakesRecord(int32_t opcode)
{
    return opcode == vst2::effProcessEvents || opcode == vst2::effSetSpeakerArrangement ||
           opcode == vst2::effGetSpeakerArrangement || opcode == vst2::effSetChunk;
}

void Opcodes(Context& cx)
{
    auto s = cx.Make();
    if (!s)
        return;
    vst2::Effect* e = s->Effect();
    s->Play(512);
    const std::vector<float> params = s->Params();

    // A zeroed buffer and a long text without its end for a good while; both aligned.
    std::vector<int64_t> zeros(8192, 0);
    std::vector<char> text(65536, 'A');
    text.back() = '\0';
    void* const zeroPtr = zeros.data();
    void* const textPtr = text.data();

    const std::vector<int32_t> indices =
        cx.Long() ? std::vector<int32_t>{0, -1, INT_MAX, INT_MIN, e->numParams, e->numPrograms}
                  : std::vector<int32_t>{-1, INT_MAX, e->numParams};
    const std::vector<intptr_t> values = {0, -1, intptr_t{1} << 20, e->numPrograms};
    const std::vector<float> opts =
        cx.Long() ? std::vector<float>{0.0f, NAN, -1.0f, INFINITY} : std::vector<float>{NAN};

    std::vector<int32_t> opcodes;
    for (int32_t op = 0; op < 128; ++op)
        opcodes.push_back(op);
    opcodes.insert(opcodes.end(), {-1, 1000, INT_MAX, INT_MIN});
    for (const bool resumed : {false, true})
    {
        if (resumed)
            s->Host().Resume();
        else
            s->Host().Suspend();
        for (const int32_t op : opcodes)
        {
            if (op == vst2::effClose || op == vst2::effSetChunk)
                continue; // closing ends the instance; chunks have scenarios of their own
            for (const int32_t index : indices)
                for (const intptr_t value : values)
                    for (const float opt : opts)
                        for (void* ptr : {static_cast<void*>(nullptr), zeroPtr, textPtr})
                        {
                            if (op == vst2::effEditOpen && ptr)
                                continue; // a window handle: null is the only safe odd one
                            if (TakesRecord(op) && ptr == textPtr)
                                continue;
                            if (op == vst2::effSetProgram && value >= 0 && value < e->numPrograms)
                                continue; // a real program change, which may move parameters
                            intptr_t v = value;
                            if (op == vst2::effSetSpeakerArrangement ||
                                op == vst2::effGetSpeakerArrangement)
                                v = value == 0 ? 0 : reinterpret_cast<intptr_t>(zeroPtr);
                            if (op == vst2::effSetBlockSize && v > 8192)
                                v = 8192;
                            if (cx.Opts().mVerbose) // the last line names a crashing call
                                std::fprintf(stderr,
                                             "opcode %d index %d value %lld ptr %s opt %g\n", op,
                                             index, static_cast<long long>(v),
                                             !ptr             ? "null"
                                             : ptr == zeroPtr ? "zeros"
                                                              : "text",
                                             static_cast<double>(opt));
                            std::fill(zeros.begin(), zeros.end(), 0); // written by the last
                            e->dispatcher(e, op, index, v, ptr, opt);
                            text.back() = '\0';
                        }
            s->CollectOutside();
        }
    }
    // Back to a sane setting and playing: the stream is judged, and nothing above may have
    // moved a parameter.
    s->Host().Suspend();
    s->Host().Dispatch(vst2::effSetBypass, 0, 0);
    s->Host().SetSampleRate(44100.0f);
    s->Host().SetBlockSize(512);
    s->Host().Resume();
    s->PlayFor(44100 * 4, 512);
    s->StopAndDrain();
    cx.Judge(*s, "every opcode with odd arguments");
    cx.ExpectSameParams(params, s->Params(), "every opcode with odd arguments");
    cx.ExpectNormalisedParams(*s, "every opcode with odd arguments");
    if (s->SendsMidi() && s->Checker().NoteOns() == 0)
        cx.Fail("every opcode with odd arguments: no note played afterwards");
}

} // namespace

void AddLifecycleScenarios(std::vector<Scenario>& out)
{
    out.push_back({"lifecycle",
                   "instantiate, open and close many times; open twice; close without open; "
                   "instances side by side",
                   false, Lifecycle});
    out.push_back({"opcodes",
                   "every opcode, suspended and resumed, with null, zeroed and text pointers, "
                   "out-of-range indices and values, NaN options",
                   false, Opcodes});
}

} // namespace orxvalidate
