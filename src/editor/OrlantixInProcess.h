#pragma once
// The product's entry for programs that host Orlantix in their own process rather than load the
// library (our host's LoadEntry): the instance with its editor and its "Default" slot, as the
// library's entry gives it, so the program reaches the instance behind the effect record.

#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "ThreadRole.h"

#include <memory>

// [main-thread]
inline vst2::Effect* ORX_VSTCALL OrlantixInProcessEntry(vst2::HostCallback host) noexcept
{
    ORX_MAIN_THREAD();
    try
    {
        auto plug = std::make_unique<Orlantix>(host);
        OrlantixEditor::Create(*plug);
        plug->EnsureDefaultPreset();
        return plug.release()->GetEffect();
    }
    catch (...)
    {
        return nullptr;
    }
}
