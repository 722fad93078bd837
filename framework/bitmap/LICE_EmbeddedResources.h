#pragma once
// Where there are no Windows resources, the resource library of resources/ links the images into
// the binary and answers this table.

#include <cstddef>

struct LICE_EmbeddedResource
{
    int mId;
    const unsigned char* mpData;
    std::size_t mSize;
};

// All embedded images, in ascending id order; defined by the resource library.
const LICE_EmbeddedResource* LICE_GetEmbeddedResources(std::size_t& count);
