#pragma once
// The test plug-ins' editor: a few framework controls over the library's own images, each kind
// of input on one of them, so a host can drive the window layer and read the effect back
// through the plug-in's parameters:
//   the knob (Gain, real)   drag, wheel; a right click opens the value prompt's entry box
//   the switch (Echo)       a left click toggles it
//   the spinner (Mode)      shows the mode's text; a right click opens the mode's menu
//   the title               a text control
// The same editor is built on every platform; the window layer is whichever backend the
// library links (headless on Linux, Win32 on Windows).

class IPlugBase;

namespace testeditor
{

inline constexpr int kWidth = 720;
inline constexpr int kHeight = 650;
inline constexpr int kBackgroundId = 100;
inline constexpr int kKnobId = 106;   // 101 frames of 32 x 32
inline constexpr int kSwitchId = 104; // 2 frames of 16 x 16
inline constexpr int kKnobX = 340, kKnobY = 300;
inline constexpr int kSwitchX = 300, kSwitchY = 360;
inline constexpr int kSpinnerL = 380, kSpinnerT = 352, kSpinnerR = 480, kSpinnerB = 372;
inline constexpr int kTitleL = 260, kTitleT = 250, kTitleR = 500, kTitleB = 270;

// [main-thread] Builds the editor and attaches it to plug; library is the module that carries
// the images (its handle on Windows).
void AttachTestEditor(IPlugBase& plug, int gainParam, int echoParam, int modeParam, void* library);

} // namespace testeditor
