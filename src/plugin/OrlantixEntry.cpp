// The product's side of the library entry: one Orlantix per host request.

#include "Orlantix.h"
#include "VstEntry.h"

IPlugVST* MakePlugInstance(vst2::HostCallback host)
{
    return new Orlantix(host);
}
