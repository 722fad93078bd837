#pragma once
// The process-wide store of the editor's images, shared by every plug-in instance: loaded images
// under their resource id, scaled and cropped ones under -1. Entries live until released or
// until the process ends. Every operation takes the cache's own lock ([any-thread]).

#include "LICE_IBitmap.h"

#include <functional>
#include <memory>

namespace BitmapCache
{

// [any-thread] The image cached under id (id >= 0); when there is none, load() is called, under
// the lock so that each id is loaded once per process, and what it answers is cached. Null when
// it answers null (nothing is cached then).
LICE_IBitmap* FindOrLoad(int id, const std::function<std::unique_ptr<LICE_IBitmap>()>& load);

// [any-thread] Keeps bitmap under id -1 until released; answers it.
LICE_IBitmap* Retain(std::unique_ptr<LICE_IBitmap> bitmap);

// [any-thread] Enters an image the cache does not own yet under -1; nothing if it is there.
// False for null.
bool Adopt(LICE_IBitmap* bitmap);

// [any-thread] Removes the entry of bitmap and deletes it; false when it is not cached.
bool Release(const LICE_IBitmap* bitmap);

// [any-thread] Number of entries.
int Size();

} // namespace BitmapCache
