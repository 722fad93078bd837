#include "HostFolder.h"

#include "PlatformFiles.h"

HostFolder::HostFolder(const char* name, HostFolder* pParent, const char* rootPath)
    : mName(name ? name : ""), mpParent(pParent), mRootPath(rootPath ? rootPath : "")
{
}

void JoinPath(std::string& folder, const char* name)
{
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/'))
        folder += kPathSeparator;
    folder += name;
}

bool HostFolder::FullPath(std::string& path) const
{
    if (!mpParent)
        path = mRootPath;
    else
    {
        if (!mpParent->FullPath(path))
            return false;
        JoinPath(path, mName.c_str());
    }
    return !path.empty() && static_cast<int>(path.size()) <= kMaxPath;
}

namespace
{
class Forwarder : public DirectoryVisitor
{
public:
    explicit Forwarder(HostFolder& folder) : mFolder(folder) {}
    void Entry(const char* name, bool isFolder) override
    {
        if (isFolder)
            mFolder.FolderFound(name);
        else
            mFolder.FileFound(name);
    }

private:
    HostFolder& mFolder;
};
} // namespace

void HostFolder::Scan()
{
    std::string path;
    if (!FullPath(path))
        return;
    Forwarder forward(*this);
    ScanFolder(path.c_str(), forward);
}
