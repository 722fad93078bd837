#include "PresetFolder.h"

#include "NameOrder.h"

#include <cstring>

namespace
{
bool Hidden(const char* name)
{
    return name[0] == '.';
}

// Files by the name the menu shows, then by their whole name (a.preset before a.txt).
bool FileBefore(const PresetFile& a, const PresetFile& b)
{
    const int shown = orx::CompareNames(a.DisplayName(), b.DisplayName());
    return shown != 0 ? shown < 0 : orx::NameBefore(a.FileName(), b.FileName());
}

bool FolderBefore(const PresetFolder& a, const PresetFolder& b)
{
    return orx::NameBefore(a.Name(), b.Name());
}
} // namespace

void PresetFolder::Scan()
{
    HostFolder::Scan();
    mFiles.Sort(FileBefore);
    mSubfolders.Sort(FolderBefore);
}

void PresetFolder::FolderFound(const char* name)
{
    if (Hidden(name))
        return;
    auto child = std::make_unique<PresetFolder>(name, this);
    child->Scan();
    if (!child->Empty())
        mSubfolders.Append(child.release());
}

void PresetFolder::FileFound(const char* name)
{
    if (!Hidden(name) && std::strchr(name, '.'))
        mFiles.Append(new PresetFile(this, name));
}

int PresetFolder::Number(int start)
{
    mFirstIndex = start;
    int next = start;
    for (PresetFile* f = mFiles.First(); f; f = NodeList<PresetFile>::Next(f))
        f->mIndex = next++;
    for (PresetFolder* s = mSubfolders.First(); s; s = NodeList<PresetFolder>::Next(s))
        next = s->Number(next);
    mLastIndex = next - 1;
    return next;
}

PresetFile* PresetFolder::FindFile(int index) const
{
    if (index < mFirstIndex || index > mLastIndex)
        return nullptr;
    for (PresetFile* f = mFiles.First(); f; f = NodeList<PresetFile>::Next(f))
        if (f->mIndex == index)
            return f;
    for (PresetFolder* s = mSubfolders.First(); s; s = NodeList<PresetFolder>::Next(s))
        if (PresetFile* f = s->FindFile(index))
            return f;
    return nullptr;
}

bool PresetFolder::FilePath(const PresetFile& file, std::string& path)
{
    if (!file.Folder() || !file.Folder()->FullPath(path))
        return false;
    JoinPath(path, file.FileName().c_str());
    return true;
}

std::unique_ptr<PresetFolder> BuildPresetTree(const char* rootPath)
{
    auto root = std::make_unique<PresetFolder>("", nullptr, rootPath ? rootPath : "");
    root->Scan();
    root->Number(1);
    return root;
}
