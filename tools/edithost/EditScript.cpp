#include "EditScript.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

namespace edithost
{

bool Command::Int(std::size_t i, int& value) const
{
    if (i >= mArgs.size())
        return false;
    const std::string& a = mArgs[i];
    const auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), value);
    return ec == std::errc() && end == a.data() + a.size();
}

bool ReadKey(const std::string& written, ScriptKey& key)
{
    std::string_view name = written;
    ScriptKey held;
    for (;;)
    {
        if (name.rfind("ctrl+", 0) == 0 && !held.mControl)
            held.mControl = true;
        else if (name.rfind("shift+", 0) == 0 && !held.mShift)
            held.mShift = true;
        else
            break;
        name.remove_prefix(name.find('+') + 1);
    }
    static constexpr std::pair<const char*, ScriptKey::Named> kNamed[] = {
        {"down", ScriptKey::kDown},         {"up", ScriptKey::kUp},
        {"left", ScriptKey::kLeft},         {"right", ScriptKey::kRight},
        {"return", ScriptKey::kReturn},     {"escape", ScriptKey::kEscape},
        {"space", ScriptKey::kSpace},       {"backspace", ScriptKey::kBackspace},
        {"home", ScriptKey::kHome},         {"end", ScriptKey::kEnd},
        {"pagedown", ScriptKey::kPageDown}, {"pageup", ScriptKey::kPageUp},
        {"delete", ScriptKey::kDelete}};
    for (const auto& [text, named] : kNamed)
        if (name == text)
        {
            key = ScriptKey{named, 0, held.mControl, held.mShift};
            return true;
        }
    if (name.size() != 1)
        return false;
    const char ch = name[0];
    if (!std::isalnum(static_cast<unsigned char>(ch)) &&
        std::string_view(".-_/,").find(ch) == std::string_view::npos)
        return false;
    key = ScriptKey{ScriptKey::kCharacter, ch, held.mControl, held.mShift};
    return true;
}

std::vector<Command> ReadScript(const std::string& text)
{
    std::vector<Command> commands;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos)
            line.resize(hash);
        std::istringstream words(line);
        Command c;
        c.mLine = number;
        if (!(words >> c.mName))
            continue;
        for (std::string w; words >> w;)
            c.mArgs.push_back(w);
        commands.push_back(std::move(c));
    }
    return commands;
}

bool ReadInvocation(int argc, char** argv, const char* tool, Invocation& out)
{
    std::string scriptPath;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string opt = argv[i], value = argv[i + 1];
        if (opt == "--plugin" && value.find('=') != std::string::npos)
            out.mPlugins.emplace_back(value.substr(0, value.find('=')),
                                      value.substr(value.find('=') + 1));
        else if (opt == "--script")
            scriptPath = value;
        else if (opt == "--out")
            out.mOut = value;
        else
        {
            std::fprintf(stderr, "usage: %s --plugin NAME=PATH ... --script FILE --out FOLDER\n",
                         tool);
            return false;
        }
    }
    std::ifstream in(scriptPath);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || out.mPlugins.empty())
    {
        std::fprintf(stderr, "%s: no script at %s or no plug-in given\n", tool, scriptPath.c_str());
        return false;
    }
    out.mScriptText = text.str();
    return true;
}

} // namespace edithost
