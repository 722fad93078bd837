// The product's side of the library entry: one Orlantix per host request, with its editor.

#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "VstEntry.h"

#include <memory>

IPlugVST* MakePlugInstance(vst2::HostCallback host)
{
    auto plug = std::make_unique<Orlantix>(host);
    OrlantixEditor::Create(*plug);
    return plug.release();
}
