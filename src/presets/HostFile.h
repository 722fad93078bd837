#pragma once
// A file found in a scanned folder: its name with extension, and the name shown to the user
// (cut at its last ".").

#include "Node.h"

#include <string>

class HostFolder;

class HostFile : public Node
{
public:
    HostFile(HostFolder* pFolder, const char* fileName);
    ~HostFile() override = default;

    HostFolder* Folder() const { return mpFolder; }
    const std::string& FileName() const { return mFileName; }
    const std::string& DisplayName() const { return mDisplayName; }

private:
    HostFolder* mpFolder;
    std::string mFileName;
    std::string mDisplayName;
};
