#include "ConfigurationFileReader.h"

#include "Check.h"
#include "HomeDirectory.h"

#include <cstring>

namespace
{
constexpr const char* kTag = "src/Configurable";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

const char* ReadToken(const char* pStart, int limit, char* pBuf)
{
    ORX_CHECK(kTag, pStart, "pStart");
    ORX_CHECK(kTag, pBuf, "pBuf");
    if (!pStart || !pBuf)
        return pStart;

    const char* p = pStart;
    while (IsBlank(*p))
        ++p;
    int n = 0;
    auto keep = [&](char c)
    {
        if (n < limit)
            pBuf[n++] = c;
    };
    if (*p == '"' || *p == '\'')
    {
        const char quote = *p++;
        while (*p && *p != quote)
            keep(*p++);
        if (*p == quote)
            ++p;
    }
    else
    {
        while (*p && !IsBlank(*p))
            keep(*p++);
    }
    pBuf[n] = '\0';
    return p;
}

bool ConfigurationFileReader::NextEntry()
{
    while (IsOpen() && !AtEnd())
    {
        ReadLine();
        if (char* comment = std::strchr(Line(), ';'))
            *comment = '\0';
        const char* rest = ReadToken(Line(), kMaxKey, mKey);
        ReadToken(rest, kMaxValue, mValue);
        if (mKey[0] != '\0')
            return true;
    }
    return false;
}

void ReadConfiguration(ConfigurablePool& pool, const char* path)
{
    ConfigurationFileReader reader;
    if (!path || !*path || !reader.Open(path))
        return;
    ReadConfiguration(pool, reader);
}

void ReadConfiguration(ConfigurablePool& pool, ConfigurationFileReader& reader)
{
    while (reader.NextEntry())
        if (Configurable* c = pool.Find(reader.Key()))
            c->SetFromConfigurationFile(reader.Value());
}

void ReadConfiguration(ConfigurablePool& pool)
{
    char path[kHomePathSize];
    ConfigurationFilePath(path);
    ReadConfiguration(pool, path);
}
