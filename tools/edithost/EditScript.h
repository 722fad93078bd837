#pragma once
// The input script of the editor test host: one command per line, words separated by blanks,
// '#' to the end of a line is a comment. The host (EditHost_win32.cpp) gives the commands their
// meaning; here they are only read. Portable, so the script's reading is the same everywhere.

#include <string>
#include <utility>
#include <vector>

namespace edithost
{

struct Command
{
    int mLine = 0;
    std::string mName;
    std::vector<std::string> mArgs;

    // Argument i as an integer; false when it is missing or not a whole number.
    bool Int(std::size_t i, int& value) const;
};

// The commands of text in order; a line that is empty or only a comment gives none.
std::vector<Command> ReadScript(const std::string& text);

// What a host run is told: --plugin NAME=PATH (one or more), --script FILE, --out FOLDER.
struct Invocation
{
    std::vector<std::pair<std::string, std::string>> mPlugins;
    std::string mScriptText;
    std::string mOut = ".";
};

// Reads the command line of tool and its script; false, with the reason on stderr, when either
// cannot be had.
bool ReadInvocation(int argc, char** argv, const char* tool, Invocation& out);

} // namespace edithost
