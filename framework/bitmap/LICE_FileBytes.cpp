#include "LICE_FileBytes.h"

#include <cstdio>
#include <memory>

namespace LICE
{

namespace
{

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

bool ReadFileBytes(const char* fileName, std::vector<unsigned char>& out, std::size_t maxBytes)
{
    out.clear();
    if (!fileName)
        return false;
    File file(std::fopen(fileName, "rb"));
    if (!file)
        return false;
    unsigned char chunk[65536];
    for (;;)
    {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        if (out.size() + n > maxBytes)
            return false;
        out.insert(out.end(), chunk, chunk + n);
        if (n < sizeof chunk)
            return std::ferror(file.get()) == 0;
    }
}

bool WriteFileBytes(const char* fileName, const std::vector<unsigned char>& bytes)
{
    if (!fileName)
        return false;
    File file(std::fopen(fileName, "wb"));
    if (!file)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    return std::fclose(file.release()) == 0;
}

} // namespace LICE
