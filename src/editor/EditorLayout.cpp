#include "EditorLayout.h"

#include "IEditorHost.h"
#include "IGraphics.h"
#include "IParameter.h"
#include "ThreadRole.h"

#include <cstring>

namespace editor_layout
{

IBitmapHandle LoadImage(IGraphics& graphics, int id) noexcept
{
    ORX_MAIN_THREAD();
    const Image* image = FindImage(id);
    if (!image)
        return {};
    return graphics.LoadBitmap(id, image->mFile, image->mFrames);
}

int KnobImageFor(int frames) noexcept
{
    for (int id : {105, 106, 107, 108, 121})
        if (const Image* image = FindImage(id); image && image->mFrames == frames)
            return id;
    return kFallbackKnob;
}

int ParamIndexNamed(const IEditorHost& plug, const char* name) noexcept
{
    for (int i = 0; i < plug.NParams(); ++i)
        if (std::strcmp(plug.GetParam(i)->Name(), name) == 0)
            return i;
    return -1;
}

} // namespace editor_layout
