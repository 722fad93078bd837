#pragma once
// The editor as it looks at rest: the background with every control drawn at its place from
// the embedded images and the colours the editor's own controls paint with, plus an optional
// layer of sample texts where read-outs and spinners show their values.

#include "ArtworkTables.h"
#include "LICE_IBitmap.h"

#include <vector>

namespace orx::artwork
{

// out becomes 720 x 650. False when the embedded background cannot be decoded.
bool ComposeLayoutPreview(LICE_IBitmap& out, const std::vector<ImageEntry>& images,
                          const std::vector<LayoutEntry>& layout, const LICE_IBitmap* textLayer);

} // namespace orx::artwork
