#pragma once
// Reads "key value" entries from the configuration file: ";" starts a comment, tokens may be
// quoted with double or single quotes to hold spaces, tokens after the second are ignored.

#include "ConfigurablePool.h"
#include "TextFileReader.h"

class ConfigurationFileReader : public TextFileReader
{
public:
    static constexpr int kMaxKey = 40;
    static constexpr int kMaxValue = 512;

    // True with Key() and Value() filled, false at the end of the file.
    bool NextEntry();
    const char* Key() const { return mKey; }
    const char* Value() const { return mValue; }

private:
    char mKey[kMaxKey + 1] = {};
    char mValue[kMaxValue + 1] = {};
};

// Reads one token of line from pStart into pBuf (limit characters kept, the scan still runs to
// the token's end) and answers where the token ended.
const char* ReadToken(const char* pStart, int limit, char* pBuf);

// Applies the entries of the file at path to the pool: a configurable whose name equals a key
// takes the value. A missing or unreadable file changes nothing.
void ReadConfiguration(ConfigurablePool& pool, const char* path);
// The same from a reader that is already open.
void ReadConfiguration(ConfigurablePool& pool, ConfigurationFileReader& reader);
// The same with the configuration file beside this library.
void ReadConfiguration(ConfigurablePool& pool);
