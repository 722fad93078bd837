#include "TextFileReader.h"

#include <utility>

bool TextFileReader::Open(const char* path)
{
    mFile = OpenUtf8File(path, "r");
    mLine[0] = '\0';
    return IsOpen();
}

bool TextFileReader::Attach(FileHandle file)
{
    mFile = std::move(file);
    mLine[0] = '\0';
    return IsOpen();
}

bool TextFileReader::AtEnd() const
{
    return !mFile || std::feof(mFile.get()) || std::ferror(mFile.get());
}

void TextFileReader::ReadLine()
{
    int n = 0;
    if (mFile)
    {
        for (int c = std::fgetc(mFile.get()); c != EOF && c != '\n'; c = std::fgetc(mFile.get()))
        {
            if (c == '\r')
                continue;
            if (n < kMaxLine)
                mLine[n++] = static_cast<char>(c);
        }
    }
    mLine[n] = '\0';
}
