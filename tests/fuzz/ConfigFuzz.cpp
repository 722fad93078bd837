// Any bytes as the configuration file: the reader must not crash, read out of bounds or keep
// more than its limits allow.
#include "ConfigurationFileReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!f)
        return 0;
    ConfigurationFileReader reader;
    reader.Attach(FileHandle(f));
    ConfigurablePool pool;
    pool.RegisterDefaults();
    ReadConfiguration(pool, reader);
    if (pool.Get(kConfigPresetFolder)->StringValue().size() > ConfigurationFileReader::kMaxValue)
        std::abort();
    return 0;
}
