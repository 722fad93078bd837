#include "HostFile.h"

HostFile::HostFile(HostFolder* pFolder, const char* fileName)
    : mpFolder(pFolder), mFileName(fileName ? fileName : "")
{
    const size_t dot = mFileName.rfind('.');
    mDisplayName = mFileName.substr(0, dot);
}
