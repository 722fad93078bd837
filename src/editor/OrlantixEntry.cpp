// The product's side of the library entry, in every format: one Orlantix per host request,
// with its editor.

#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "PlugBinding.h"

#include <memory>

PlugBinding* MakePlugInstance(PlugHost host)
{
    auto plug = std::make_unique<Orlantix>(host);
    OrlantixEditor::Create(*plug);
    return plug.release();
}
