#pragma once
// Reads a text file line by line into a fixed buffer: at most 128 characters of each line are
// kept, the rest of a longer line is read and dropped, carriage returns are dropped.

#include "PlatformFiles.h"

class TextFileReader
{
public:
    static constexpr int kMaxLine = 128;

    TextFileReader() = default;
    virtual ~TextFileReader() = default;
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    bool Open(const char* path);
    // Reads from an already open file instead (fuzzing and tests read from memory).
    bool Attach(FileHandle file);
    bool IsOpen() const { return mFile != nullptr; }
    bool AtEnd() const;

    // Fills Line(); at the end of the file the line is empty.
    void ReadLine();
    const char* Line() const { return mLine; }
    char* Line() { return mLine; }

private:
    FileHandle mFile;
    char mLine[kMaxLine + 1] = {};
};
