#include "HostTransport.h"

#include "VstHost.h"

#include <algorithm>
#include <sstream>

namespace edithost
{

void PlayThenStop(orxhost::VstHost& host, const PlayedStretch& stretch)
{
    const int block = std::max(1, stretch.mBlock);
    {
        auto lock = host.LockCallbacks();
        orxhost::Transport& t = host.GetTransport();
        t.mSamplePos = static_cast<double>(stretch.mFrom);
        t.mPlaying = true;
        t.mAdvance = true;
    }
    for (long long done = 0; done < stretch.mFrames;)
    {
        const int n = static_cast<int>(std::min<long long>(block, stretch.mFrames - done));
        host.Process(n);
        done += n;
    }
    {
        auto lock = host.LockCallbacks();
        host.GetTransport().mPlaying = false;
    }
    host.Process(block);
}

std::string WritePlayed(const std::vector<PlayedStretch>& played)
{
    std::ostringstream out;
    for (const PlayedStretch& p : played)
        out << "play " << p.mFrom << ' ' << p.mFrames << ' ' << p.mBlock << '\n';
    return out.str();
}

bool ReadPlayed(const std::string& text, std::vector<PlayedStretch>& played)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::istringstream words(line);
        std::string word;
        PlayedStretch p;
        if (!(words >> word >> p.mFrom >> p.mFrames >> p.mBlock) || word != "play" || p.mFrom < 0 ||
            p.mFrames < 0 || p.mBlock < 1)
            return false;
        played.push_back(p);
    }
    return true;
}

} // namespace edithost
