#pragma once
// The manual's annotated pictures of the editor: for each, the file under docs/manual/, the
// state the editor is painted in, the part shown and the numbered callouts. Every position
// comes from the editor's layout table, so the callouts follow the controls when they move.

#include "Callouts.h"
#include "EditorScene.h"

#include <string>
#include <vector>

namespace orx::docs
{

struct Picture
{
    std::string mFile; // under docs/manual/
    Scene mScene;
    Framing mFraming;
    std::vector<Callout> mCallouts;
};

// Every picture, in the order the manual shows them. A control the layout table no longer has
// is named in missing (the pictures are then incomplete).
std::vector<Picture> ManualPictures(std::vector<std::string>& missing);

} // namespace orx::docs
