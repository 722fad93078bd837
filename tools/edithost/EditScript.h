#pragma once
// The input script of the editor test hosts: one command per line, words separated by blanks,
// '#' to the end of a line is a comment, and the names of the keys it types. The script runner
// (ScriptRunner.h) gives the commands their meaning; here they are only read. Portable, so the
// script's reading is the same everywhere.

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

// A key of the script (key, menukeys): a named one, or the key that types one character, with
// the modifier keys held while it goes down ("ctrl+z", "ctrl+shift+z").
struct ScriptKey
{
    enum Named
    {
        kCharacter, // mCharacter's key
        kDown,
        kUp,
        kLeft,
        kRight,
        kReturn,
        kEscape,
        kSpace,
        kBackspace,
        kHome,
        kEnd,
        kPageDown,
        kPageUp,
        kDelete,
    };
    Named mNamed = kCharacter;
    char mCharacter = 0; // a letter, a digit or one of . - _ / ,
    bool mControl = false;
    bool mShift = false;

    bool operator==(const ScriptKey&) const = default;
};

// The key of a name in a script ("down", "return", "a", "7", ".", "ctrl+y", "shift+home",
// "ctrl+shift+z": each modifier at most once, before the key); false for no key.
bool ReadKey(const std::string& name, ScriptKey& key);

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
