#pragma once
// Which MIDI controller moves which parameter: for each of the 128 controller numbers one
// parameter and the channels (bit n = channel n) it listens on. Fixed storage, read on the audio
// thread for every control change that comes in.

#include <cstdint>

// A MIDI controller bound to a parameter, on the channels whose bits are set.
struct ControllerAssignment
{
    int mParamIdx = -1;
    uint32_t mChannelMask = 0;

    bool Bound() const noexcept { return mParamIdx >= 0 && (mChannelMask & 0xFFFFu) != 0; }
};

class ControllerMap
{
public:
    static constexpr int kNumControllers = 128;

    // A parameter index of -1 or a mask without a channel unbinds the controller.
    void Assign(int controller, int paramIdx, uint32_t channelMask) noexcept;
    // controller on channel now moves paramIdx, and nothing else moves it: a parameter follows
    // one controller at a time.
    void Learn(int controller, int channel, int paramIdx) noexcept;
    // Unbinds every controller bound to paramIdx; false when there was none.
    bool Forget(int paramIdx) noexcept;
    void Clear() noexcept;

    ControllerAssignment At(int controller) const noexcept;
    // The parameter that controller moves on channel, or -1.
    int ParamFor(int controller, int channel) const noexcept;
    // The controller bound to paramIdx (the lowest number) and its lowest channel; -1 for none.
    int ControllerOf(int paramIdx, int* channel) const noexcept;
    int BoundCount() const noexcept;
    bool operator==(const ControllerMap& other) const noexcept;

private:
    ControllerAssignment mEntries[kNumControllers];
};
