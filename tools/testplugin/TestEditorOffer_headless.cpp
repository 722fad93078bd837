// The Linux test editors run on the headless window layer, which offers no editor to hosts by
// default; these libraries exist to test the editor opcodes through a host, so they offer it.

#include "HeadlessWindow.h"

namespace
{
const bool gOffered = (HeadlessOffersEditor(true), true);
} // namespace
