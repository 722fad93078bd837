#pragma once
// A folder of the host's file system: scanning reports each entry to the subclass.

#include "Node.h"

#include <string>

class HostFolder : public Node
{
public:
    // Paths live in 260-character buffers in the system's own interface; a full path has at
    // most this many characters.
    static constexpr int kMaxPath = 259;

    // The root holds the full path; any other folder its own name and its parent.
    HostFolder(const char* name, HostFolder* pParent, const char* rootPath);
    ~HostFolder() override = default;

    // Lists the folder and calls FolderFound or FileFound for each entry. A folder whose full
    // path is too long yields nothing.
    virtual void Scan();
    virtual void FolderFound(const char* name) { (void)name; }
    virtual void FileFound(const char* name) { (void)name; }

    // The full path: the root's path, or the parent's full path, a separator unless it already
    // ends in one, and the name. False when it would exceed kMaxPath characters.
    bool FullPath(std::string& path) const;
    const std::string& Name() const { return mName; }
    HostFolder* Parent() const { return mpParent; }

private:
    std::string mName;
    HostFolder* mpParent;
    std::string mRootPath;
};

// Appends name to folder with the platform's separator unless folder already ends in "\" or "/".
void JoinPath(std::string& folder, const char* name);
