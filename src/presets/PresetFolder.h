#pragma once
// The preset tree: a folder with its files and non-empty subfolders, numbered depth-first so
// that every file has a unique index (files of a folder before those of its subfolders). Files
// and subfolders are each kept in name order (NameOrder.h), whatever order the file system
// lists them in, so the numbers follow the order the preset menu shows. Hidden entries (names
// starting with ".") are left out, as file choosers leave them out.

#include "HostFolder.h"
#include "PresetFile.h"

#include <climits>
#include <memory>
#include <string>

class PresetFolder : public HostFolder
{
public:
    PresetFolder(const char* name, PresetFolder* pParent, const char* rootPath = nullptr)
        : HostFolder(name, pParent, rootPath)
    {
    }

    // Lists the folder, then puts its files and subfolders in name order.
    void Scan() override;
    // Every subfolder is scanned in turn and kept only when it holds something.
    void FolderFound(const char* name) override;
    // Every file with a "." in its name is listed, whatever its extension.
    void FileFound(const char* name) override;

    // Numbers files from start on and answers the next free index.
    int Number(int start);

    // The file with index i, or null.
    PresetFile* FindFile(int index) const;
    // Full path of a file of this tree: its folder's full path joined with its name.
    static bool FilePath(const PresetFile& file, std::string& path);

    bool Empty() const { return mFiles.Empty() && mSubfolders.Empty(); }
    const NodeList<PresetFile>& Files() const { return mFiles; }
    const NodeList<PresetFolder>& Subfolders() const { return mSubfolders; }

    int mFirstIndex = INT_MAX;
    int mLastIndex = -1;

private:
    NodeList<PresetFile> mFiles;
    NodeList<PresetFolder> mSubfolders;
};

// Makes a new root over rootPath, scans it and numbers it from 1.
std::unique_ptr<PresetFolder> BuildPresetTree(const char* rootPath);
