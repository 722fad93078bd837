// Writes the factory presets into the folder given (the repository's presets/ folder).
#include "FactoryPresets.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-factory-presets FOLDER\n");
        return 2;
    }
    std::string error;
    const std::vector<std::string> files = WriteFactoryPresets(argv[1], error);
    if (files.empty())
    {
        std::fprintf(stderr, "make-factory-presets: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& f : files)
        std::printf("%s\n", f.c_str());
    return 0;
}
