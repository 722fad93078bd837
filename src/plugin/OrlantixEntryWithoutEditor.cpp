// The library entry of a build that has no window system for the editor yet (the Windows
// libraries until theirs arrives): one Orlantix per host request, without an editor. The
// product's own entry, with the editor, is src/editor/OrlantixEntry.cpp.

#include "Orlantix.h"
#include "VstEntry.h"

IPlugVST* MakePlugInstance(vst2::HostCallback host)
{
    return new Orlantix(host);
}
