#include "EditorModel.h"

#include "Orlantix.h"
#include "OrlantixGui.h"
#include "ThreadRole.h"

namespace
{

template <class Sequencer>
void CapturePane(const Sequencer& seq, EditorModel::Pane& pane) noexcept
{
    pane.mStart = seq.StartPosition();
    pane.mEnd = seq.EndPosition();
    pane.mCursor = seq.Cursor();
    pane.mRunning = seq.Running();
    for (int i = 0; i < EditorModel::kPaneSteps; ++i)
    {
        const auto& step = seq.StepAt(i);
        pane.mValues[i] = static_cast<int>(step.mValue);
        pane.mPermanence[i] = step.mPermanence;
    }
}

} // namespace

void CaptureEditorModel(Orlantix& plug, EditorModel& model) noexcept
{
    ORX_MAIN_THREAD_LOCKED(plug.Mutex());
    const PatternEngine& engine = plug.Engine();
    model.mProgression = engine.mProgression;
    CapturePane(engine.mStrikeSeq, model.mPanes[0]);
    CapturePane(engine.mMelodySeq, model.mPanes[1]);
    model.mGrooveStepsActive = engine.mGroove.NumStepsActive();
    model.mGrooveCurrentStep = engine.mGroove.Cursor();

    const OrlantixGui& gui = plug.Gui();
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            model.mSelected[s][v] = gui.IsSelected(s, v);
}

void RefreshEditorModel(Orlantix& plug, EditorModel& model) noexcept
{
    ORX_MAIN_THREAD();
    plug.Mutex().Run([&]() noexcept { CaptureEditorModel(plug, model); });
}
