#pragma once
// A preset file of the preset tree, numbered for the preset menu.

#include "HostFile.h"

class PresetFile : public HostFile
{
public:
    using HostFile::HostFile;

    int mIndex = 0;
};
