// The script's checks: the plug-ins' parameters and their editing, the windows and popups on
// the screen, the counts of what the platform holds, and the screenshots with what the
// comparison with the headless editor needs beside them.

#include "LICE_MemBitmap.h"
#include "LICE_PngRead.h"
#include "ScriptReport.h"
#include "ScriptSession.h"

#include <cstdio>
#include <fstream>

namespace edithost
{

namespace
{

constexpr int kExpectMs = 3000;
constexpr int kPopupsMs = 2000;
constexpr int kFileMs = 2000;

std::string Joined(const std::vector<std::string>& words, std::size_t from,
                   const char* between = " ")
{
    std::string all;
    for (std::size_t i = from; i < words.size(); ++i)
        all += (i > from ? between : "") + words[i];
    return all;
}

std::string Describe(const Counts& c)
{
    std::string s;
    for (const auto& [kind, n] : c.mValues)
        s += (s.empty() ? "" : ", ") + kind + " " + std::to_string(n);
    if (!c.mUncounted.empty())
        s += "; not counted: " + Joined(c.mUncounted, 0, ", ");
    return s;
}

bool FileExists(const std::string& path)
{
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
    {
        std::fclose(f);
        return true;
    }
    return false;
}

} // namespace

bool ScriptSession::WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 20)
    {
        if (condition())
            return true;
        mDriver.Wait(20);
    }
    return condition();
}

bool ScriptSession::Expect(const Command& c)
{
    if (c.mArgs.size() != 3)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    const std::string& param = c.mArgs[1];
    const std::string& wanted = c.mArgs[2];
    std::string shown = "(the host's thread is held)";
    WaitFor(
        [&]
        {
            mDriver.OnHostThread(
                [&]
                {
                    shown = "(no such parameter)";
                    for (int i = 0; i < slot->mHost.Effect()->numParams; ++i)
                        if (slot->mHost.ParamName(i) == param)
                        {
                            shown = slot->mHost.ParamDisplay(i);
                            break;
                        }
                },
                1000);
            return shown == wanted;
        },
        kExpectMs);
    mReport.Check(shown == wanted, c.mLine,
                  slot->mName + " " + param + " shows '" + shown + "', expected '" + wanted + "'");
    return true;
}

bool ScriptSession::ExpectEdited(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
        mReport.Check(slot->mWatch->LastEditChanged(), c.mLine,
                      "the last input changed " + slot->mName + "'s state chunk");
    return true;
}

bool ScriptSession::ExpectWindows(const Command& c)
{
    int n = 0;
    if (c.mArgs.size() != 2 || !c.Int(1, n))
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
    {
        const int have = mDriver.WindowsIn(slot->mName);
        mReport.Check(have == n, c.mLine,
                      slot->mName + "'s host window holds " + std::to_string(have) +
                          " windows, expected " + std::to_string(n));
    }
    return true;
}

bool ScriptSession::ExpectPopups(const Command& c)
{
    int n = 0;
    if (c.mArgs.size() != 1 || !c.Int(0, n))
        return false;
    int have = 0;
    WaitFor(
        [&]
        {
            have = static_cast<int>(mDriver.Popups().size());
            return have == n;
        },
        kPopupsMs);
    mReport.Check(have == n, c.mLine,
                  std::to_string(have) + " popups on the screen, expected " + std::to_string(n));
    return true;
}

bool ScriptSession::ExpectPopup(const Command& c)
{
    if (c.mArgs.empty())
        return false;
    const std::string wanted = Joined(c.mArgs, 0);
    std::string names;
    const bool shown = WaitFor(
        [&]
        {
            names = Joined(mDriver.Popups(), 0, " | ");
            return names == wanted;
        },
        kExpectMs);
    mReport.Check(shown, c.mLine, "the popup on the screen is '" + names + "'");
    if (!shown)
    {
        mDriver.Key(ScriptKey{ScriptKey::kEscape, 0});
        mStopped = true;
    }
    return true;
}

bool ScriptSession::ExpectEditorAt(const Command& c)
{
    int x = 0, y = 0;
    if (c.mArgs.size() != 3 || !c.Int(1, x) || !c.Int(2, y))
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
    {
        int atX = 0, atY = 0;
        const bool there = mDriver.EditorPlace(slot->mName, atX, atY);
        mReport.Check(there && atX == x && atY == y, c.mLine,
                      slot->mName + "'s editor is at " +
                          (there ? std::to_string(atX) + " " + std::to_string(atY)
                                 : std::string("no place (no single editor window)")) +
                          " in its host window");
    }
    return true;
}

bool ScriptSession::ExpectTitle(const Command& c)
{
    if (c.mArgs.size() < 2)
        return false;
    if (Slot* slot = Find(c.mArgs[0], c.mLine))
    {
        const std::string title = mDriver.EditorTitle(slot->mName);
        mReport.Check(title == Joined(c.mArgs, 1), c.mLine,
                      "the editor window's title is '" + title + "'");
    }
    return true;
}

bool ScriptSession::ExpectFile(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    const std::string path = Out(c.mArgs[0]);
    mReport.Check(WaitFor([&] { return FileExists(path); }, kFileMs), c.mLine,
                  c.mArgs[0] + " is there");
    return true;
}

bool ScriptSession::ExpectFont(const Command& c)
{
    if (c.mArgs.size() < 2)
        return false;
    const std::string family = Joined(c.mArgs, 1);
    const std::optional<bool> is = mDriver.FontFamilyIs(c.mArgs[0], family);
    mReport.Check(is.value_or(false), c.mLine,
                  is ? "the font the platform gives for " + c.mArgs[0] + " is " + family
                     : "this host cannot tell which font the platform gives for " + c.mArgs[0]);
    return true;
}

bool ScriptSession::DistinctClasses(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    Slot* p = Find(c.mArgs[0], c.mLine);
    Slot* q = Find(c.mArgs[1], c.mLine);
    if (!p || !q)
        return true;
    const std::string first = mDriver.EditorClass(p->mName);
    const std::string second = mDriver.EditorClass(q->mName);
    char idP[16], idQ[16];
    std::snprintf(idP, sizeof(idP), "%08X", static_cast<unsigned>(p->mHost.Effect()->uniqueID));
    std::snprintf(idQ, sizeof(idQ), "%08X", static_cast<unsigned>(q->mHost.Effect()->uniqueID));
    mReport.Check(!first.empty() && first != second && first.find(idP) != std::string::npos &&
                      second.find(idQ) != std::string::npos,
                  c.mLine, "editor window classes '" + first + "' and '" + second + "'");
    const std::string title = mDriver.EditorTitle(p->mName);
    mReport.Check(title == "IPlug", c.mLine, "the editor window's title is '" + title + "'");
    return true;
}

bool ScriptSession::RecordCounts(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    const Counts counts = mDriver.TakeCounts();
    mCounts[c.mArgs[0]] = counts;
    mReport.Say("counts " + c.mArgs[0] + ": " + Describe(counts));
    for (const std::string& note : counts.mNotes)
        if (mNotesSaid.insert(note).second)
            mReport.Say("note: " + note);
    return true;
}

bool ScriptSession::SameCounts(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    const auto i = mCounts.find(c.mArgs[0]), j = mCounts.find(c.mArgs[1]);
    if (i == mCounts.end() || j == mCounts.end())
    {
        mReport.Check(false, c.mLine, "no counts recorded as " + c.mArgs[0] + " or " + c.mArgs[1]);
        return true;
    }
    const Counts& p = i->second;
    const Counts& q = j->second;
    std::string differ;
    for (const auto& [kind, n] : p.mValues)
    {
        const auto other = q.mValues.find(kind);
        if (other == q.mValues.end() || other->second != n)
            differ += " " + kind + " (" + std::to_string(n) + ", " +
                      (other == q.mValues.end() ? "none" : std::to_string(other->second)) + ")";
    }
    for (const auto& [kind, n] : q.mValues)
        if (p.mValues.count(kind) == 0)
            differ += " " + kind + " (none, " + std::to_string(n) + ")";
    std::vector<std::string> uncounted = p.mUncounted;
    uncounted.insert(uncounted.end(), q.mUncounted.begin(), q.mUncounted.end());
    mReport.Check(differ.empty() && uncounted.empty() && !p.mValues.empty(), c.mLine,
                  "the counts equal at " + c.mArgs[0] + " and " + c.mArgs[1] +
                      (differ.empty() ? "" : "; they differ in" + differ) +
                      (uncounted.empty() ? "" : "; not counted: " + Joined(uncounted, 0, ", ")));
    return true;
}

bool ScriptSession::Screenshot(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    Slot* slot = Find(c.mArgs[0], c.mLine);
    if (!slot)
        return true;
    const std::string file = Out(c.mArgs[1]);
    bool ok = mDriver.CaptureHostWindow(slot->mName, file + ".png");
    std::ofstream areas(file + ".areas");
    for (const Area& a : mDriver.EditorChildAreas(slot->mName))
        areas << a.mLeft << ' ' << a.mTop << ' ' << a.mRight << ' ' << a.mBottom << '\n';
    std::vector<uint8_t> state;
    ok = ChunkOf(*slot, state) && ok;
    std::ofstream out(file + ".state", std::ios::binary);
    out.write(reinterpret_cast<const char*>(state.data()),
              static_cast<std::streamsize>(state.size()));
    std::ofstream transport(file + ".transport");
    transport << WritePlayed(slot->mPlayed);
    mReport.Check(ok && !state.empty() && areas && out && transport, c.mLine,
                  "screenshot " + c.mArgs[1] + ".png and its state written");
    return true;
}

bool ScriptSession::Screen(const Command& c)
{
    if (c.mArgs.size() != 1)
        return false;
    mReport.Check(mDriver.CaptureScreen(Out(c.mArgs[0] + ".png")), c.mLine,
                  "screenshot " + c.mArgs[0] + ".png of the screen");
    return true;
}

bool ScriptSession::SamePicture(const Command& c)
{
    if (c.mArgs.size() != 2)
        return false;
    const auto p = LICE::LoadPngFile(Out(c.mArgs[0] + ".png").c_str(), true);
    const auto q = LICE::LoadPngFile(Out(c.mArgs[1] + ".png").c_str(), true);
    long differing = -1;
    if (p && q && p->getWidth() == q->getWidth() && p->getHeight() == q->getHeight())
    {
        differing = 0;
        for (int row = 0; row < p->getHeight(); ++row)
            for (int col = 0; col < p->getWidth(); ++col)
                differing += (p->getBits()[row * p->getRowSpan() + col] & 0xFFFFFF) !=
                             (q->getBits()[row * q->getRowSpan() + col] & 0xFFFFFF);
    }
    mReport.Check(differing == 0, c.mLine,
                  c.mArgs[0] + " and " + c.mArgs[1] + " are the same picture (" +
                      (differing < 0 ? std::string("missing or of other sizes")
                                     : std::to_string(differing) + " pixels differ") +
                      ")");
    return true;
}

} // namespace edithost
