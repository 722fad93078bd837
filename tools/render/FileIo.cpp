#include "FileIo.h"

#include "ToolPlatform.h"

#include <cerrno>
#include <cstring>

namespace orxrender
{
namespace
{

std::string Reason(const char* what, const std::string& path)
{
    const int code = errno;
    std::string text = std::string(what) + " " + path;
    if (code != 0)
        text += std::string(": ") + std::strerror(code);
    return text;
}

} // namespace

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string& error)
{
    errno = 0;
    FilePtr file = OpenFile(path, "wb");
    if (!file)
    {
        error = Reason("cannot create", path);
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file.get()) == size;
    // A full disk may only show when the buffer is flushed, so the close is checked too.
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed)
    {
        error = Reason("cannot write all of", path);
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::size_t maxBytes,
                   std::string& error)
{
    errno = 0;
    FilePtr file = OpenFile(path, "rb");
    if (!file)
    {
        error = Reason("cannot open", path);
        return false;
    }
    bytes.clear();
    uint8_t buffer[65536];
    for (;;)
    {
        const std::size_t n = std::fread(buffer, 1, sizeof(buffer), file.get());
        if (bytes.size() + n > maxBytes)
        {
            error = path + " is larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof(buffer))
            break;
    }
    if (std::ferror(file.get()))
    {
        error = Reason("cannot read", path);
        return false;
    }
    return true;
}

} // namespace orxrender
