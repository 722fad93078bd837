#pragma once
// The plug-in instance: the one object the library's entry builds for a host. It owns the
// pattern engine and turns every host block's transport into the block's MIDI notes, keeps the
// 250 parameters and carries each change of one into the engine, and handles incoming MIDI.
// The editor reaches it through OrlantixView (what the instance shows) and OrlantixGui (the
// editor's pattern commands); the state chunk and the preset files build on the same members.

#include "ConfigurablePool.h"
#include "ControllerMap.h"
#include "MidiPassThrough.h"
#include "OrlantixParamIndex.h"
#include "OrlantixView.h"
#include "ParamChangeDesc.h"
#include "PatternEngine.h"
#include "PlugBinding.h"
#include "PresetName.h"
#include "ThreadRole.h"
#include "UndoStateCopy.h"
#include "UndoStateImage.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class OrlantixGui;
class PresetFolder;

// It derives from the binding of the format it is built for (PlugBinding.h).
class Orlantix : public PlugBinding
{
public:
    static constexpr int kNumPresets = 6;
    static constexpr int kNumControllers = ControllerMap::kNumControllers;
    static constexpr int kFirstChannelModeController = 120;
    static constexpr const char* kTag = "src/Orlantix";

    // [main-thread] Builds the whole instance in the parameters' default state. Throws
    // std::bad_alloc when memory runs out; the entry point then answers no effect.
    explicit Orlantix(PlugHost host);
    ~Orlantix() override;

    // [main-thread] Sample rate changes and suspends.
    void HandleReset() override;
    // [main-thread] Resume reserves the storage of waiting SysEx; suspend forgets the
    // messages waiting to pass through, which belong to before it.
    void HandleActivate(bool active) override;
    // [main-thread] (some hosts: audio-thread) The single entry of every parameter change.
    void HandleParamChange(int paramIdx) override;
    // [audio-thread] The host's buffers are left as the binding prepared them (silence).
    void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
    // [audio-thread] (effProcessEvents) Notes are the keys of key play (never passed on); a
    // control change binds a controller while one is learnt, moves the parameter bound to it,
    // or, bound to none, is passed on with the next block like everything else. Channel mode
    // messages (controllers 120..127) are consumed.
    void HandleMidiMessage(const IMidiMessage& msg) override;
    // [audio-thread] (effProcessEvents) Passed on with the next block, like other MIDI; a
    // message that finds no room is dropped and counted (DroppedSysEx).
    void HandleSysEx(const ISysExMessage& msg) override;
    // [main-thread] The engine's storage grows here, never while processing.
    void SetBlockLength(int nFrames) override;
    // [main-thread] The state after the binding's header: the pattern, then all 250 values,
    // then (unless both are at their defaults) the controller map and the key-play mode.
    bool WriteState(IByteChunk& chunk) override;
    // [main-thread] Every change handler runs afterwards, also when the chunk was too short
    // (the answer is then -1); the next block plays the current position without advancing.
    int ReadState(const IByteChunk& chunk, int startPos) override;
    // [main-thread] For undo: the state and the name of the preset now loaded.
    bool WriteUndoState(IByteChunk& chunk) override;
    int ReadUndoState(const IByteChunk& chunk, int startPos) override;
    // [main-thread] (without the lock) Reads the chunk into the undo image, which the next
    // ReadUndoState of the same bytes puts in without reading them under the lock.
    void PrepareUndoState(const IByteChunk& chunk, int startPos) noexcept override;

    // Preset files (OrlantixPresets.cpp), all [main-thread].
    // Writes the current pattern as a preset; false when nothing was written, in which case a
    // file already at path is untouched.
    bool WritePreset(const char* path);
    // Reads a preset file; false, with nothing changed, when it cannot be opened.
    bool ReadPreset(const char* path);
    // Preset text already in memory; path names the preset (null keeps no path). The text is
    // read before the instance lock is taken and applied under it in one piece, so a block
    // plays the old pattern or the new one. The host hears of every declared parameter that
    // moved and of the state change.
    void ReadPresetText(const char* data, size_t size, const char* path);
    // "Save As": ".preset" is appended unless the chosen path ends with it; the preset tree is
    // rebuilt. Answers the path written, empty on failure.
    std::string SavePresetAs(const std::string& chosen);
    // "Save": to the current preset's path, or false when it has none (the editor then asks).
    bool SavePreset();
    // The preset with menu index n in the preset tree; false when no file has it.
    bool LoadPresetById(int n);
    // Scans the preset folder again into a new preset tree, which replaces the old one.
    void RebuildPresetTree();
    // [any-thread] (takes lock) The preset tree, kept alive for as long as the answer is held:
    // menus are built from it and files found in it without the lock.
    std::shared_ptr<const PresetFolder> SharedPresetTree() noexcept;

    // [main-thread] Attaches the editor's view; null goes back to the one that does nothing.
    void SetView(OrlantixView* view) noexcept;
    // [main-thread] Attaches the editor's view and keeps it until the instance goes.
    void AdoptView(std::unique_ptr<OrlantixView> view) noexcept;
    OrlantixView& View() noexcept { return *mpView; }

    // [main-thread] The chord span control's drag: the first active chord step and the number
    // of active steps. Writes NumStep and StepOne (clamped into their ranges), then the
    // progression and the player; the host hears of each that moved, in a gesture of its own.
    void SetChordSpanFromEditor(int beginStep, int numSteps);

    // [main-thread] Binds a controller number to a parameter on the given channels (bit n =
    // channel n); a parameter index of -1 or a mask of 0 unbinds it.
    void AssignController(int controller, int paramIdx, uint32_t channelMask) noexcept;
    ControllerAssignment Controller(int controller) const noexcept;

    // MIDI learn, for the editor (IEditorHost). The learn completes on the audio thread, with
    // the next control change; the editor's next frame shows it and makes it a step of the
    // history (RecordLearnedController). A forget is a step of its own; both tell the host the
    // state changed.
    bool OffersMidiLearn() const noexcept override
    {
        ORX_MAIN_THREAD();
        return true;
    }
    void LearnController(int paramIdx) noexcept override;
    int LearningParam() const noexcept override;
    bool ControllerOf(int paramIdx, int& controller, int& channel) const noexcept override;
    void ForgetController(int paramIdx) noexcept override;
    unsigned ControllerMapVersion() const noexcept override;
    // [main-thread] (takes lock) After a learn completed on the audio thread, once: records it
    // as a step of the history and owes the host the notice that the state changed (the audio
    // thread can do neither); true when there was one.
    bool RecordLearnedController() noexcept;

    // [main-thread] (takes lock) Playing from the keys: off, transpose (the last key pressed is
    // the tonic from its sample on), or transpose + gate. Tells the host when it changed.
    void SetKeyPlayMode(KeyPlayMode mode) noexcept;
    KeyPlayMode GetKeyPlayMode() const noexcept
    {
        ORX_MAIN_THREAD();
        return mEngine.mKeys.Mode();
    }

    // SysEx messages that found no room to wait for the next block.
    int DroppedSysEx() const noexcept { return mPassThrough.DroppedSysEx(); }

    PatternEngine& Engine() noexcept { return mEngine; }
    const PatternEngine& Engine() const noexcept { return mEngine; }
    OrlantixGui& Gui() noexcept { return *mpGui; }
    ConfigurablePool& ConfigPool() noexcept { return mConfigPool; }
    const PresetFolder* PresetTree() const noexcept { return mpPresetTree.get(); }
    PresetName& CurrentPresetName() noexcept { return mPresetName; }
    // The descriptor registered for a parameter, or null.
    const ParamChangeDesc* ParamDesc(int paramIdx) const noexcept;

    double SampleRate() const noexcept { return mSampleRate; }
    int SampleRateInt() const noexcept { return mSampleRateInt; }
    double SamplesPerMs() const noexcept { return mSamplesPerMs; }
    double Slow() const noexcept { return mSlow; }
    void SetSlow(double slow) noexcept { mSlow = slow; }

private:
    // The pattern and the parameter values: the state as it first was.
    bool WriteCoreState(IByteChunk& chunk);
    int ReadCoreState(const IByteChunk& chunk, int startPos);
    // A control change: a learn, a bound parameter moved; false when it was none of them.
    bool HandleController(const IMidiMessage& msg) noexcept;
    // Parameter records from the five tables (OrlantixParams.cpp).
    void InitParams();
    void RegisterDesc(const ParamChangeDesc& desc);
    // The groove's lock and mute flags as parameters gmLock0.. and gmMute0...
    void MakeGrooveParams();

    double mSampleRate = 44100.0;
    int mSampleRateInt = 44100;
    double mSamplesPerMs = 44.1;
    // The musical data and everything that plays it.
    PatternEngine mEngine;
    ControllerMap mControllerMap;
    int mLearnParam = -1;                    // the parameter the next control change binds, or -1
    std::atomic<unsigned> mMapVersion{0};    // counts the changes of the map and of the learn
    std::atomic<bool> mLearnedNotice{false}; // a learn completed that is no step of the history yet
    // The map before that learn, which the history's snapshots show until it is recorded.
    ControllerMap mMapBeforeLearn;
    int mLearnedController = 0;
    int mLearnedChannel = 0;
    MidiPassThrough mPassThrough;
    double mSlow = 1.0; // stored only
    OrlantixView mNoView;
    OrlantixView* mpView = &mNoView;
    std::unique_ptr<OrlantixView> mpOwnedView;        // the editor, when it was adopted
    std::shared_ptr<const PresetFolder> mpPresetTree; // replaced under the lock
    PresetName mPresetName;
    UndoStateImage mUndoImage; // the editor thread's
    UndoStateCopy mUndoCopy;   // the editor thread's
    ConfigurablePool mConfigPool;
    const ParamChangeDesc* mpParamChangeDesc[kNumOrlantixParams] = {};
    // Last, so it goes first: it works on the members above.
    std::unique_ptr<OrlantixGui> mpGui;
};
