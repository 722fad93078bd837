#pragma once
// Everything of the bitmap library in one include.

#include "LICE_Blit.h"
#include "LICE_Draw.h"
#include "LICE_Fill.h"
#include "LICE_IBitmap.h"
#include "LICE_MemBitmap.h"
#include "LICE_Pixel.h"
#include "LICE_PngRead.h"
#include "LICE_PngResource.h"
#include "LICE_PngWrite.h"
#include "LICE_SysBitmap.h"
