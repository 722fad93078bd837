#pragma once
// The 8 x 8 square at a melody cell's top left: green while the melody is live, red while it is
// not, darker outside the chord span. A press on a live melody disables it; a press on any other
// enables it (a muted melody stays muted).

#include "IControl.h"
#include "ThreadRole.h"

struct MelodyCell;

class EnableControl : public IControl
{
public:
    // [main-thread] Bound to no parameter; the value is 1.0 while live, else 0.5.
    EnableControl(IEditorHost* plug, const IRect& rect, MelodyCell& cell);

    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;

    // [main-thread] The value: 1.0 for a live melody, 0.5 for one that is not.
    void ShowLive(bool live) noexcept
    {
        ORX_MAIN_THREAD();
        mValue = live ? 1.0 : 0.5;
    }

private:
    MelodyCell& mCell;
};
