#include "PresetText.h"

#include "IParamTable.h"
#include "IParameter.h"
#include "PlatformFiles.h"
#include "TextScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
// The sequencer resets and the command triggers have names but are never stored.
bool IsCommandParam(int idx)
{
    return idx == 61 || idx == 160 || idx == 182 || idx == 207 || (idx >= 212 && idx <= 232);
}

void AppendValue(std::string& out, double value)
{
    // Twelve decimals, the same digits as "%.12lf" but whatever the locale's decimal point.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, 12);
    out.append(buf, r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0);
}

int FindByName(const IParamTable& plug, const std::string& name)
{
    if (name.size() > static_cast<size_t>(kMaxParamNameLength))
        return -1;
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const IParameter* p = plug.GetParam(i);
        if (p && p->Name()[0] != '\0' && name == p->Name())
            return i;
    }
    return -1;
}

bool ReadParamLine(TextScanner& s, std::string& name, double& value)
{
    if (!s.Literal("param "))
        return false;
    if (!s.Word(name))
        return false;
    s.SkipSpace();
    if (!s.Double(value))
        return false;
    s.SkipSpace();
    return true;
}

// "melody %d.%d %d %d  %d %d %d %d\n": true when all eight numbers were read.
bool ReadMelodyLine(TextScanner& s, std::array<int, 8>& f)
{
    if (!s.Literal("melody ") || !s.Int(f[0]) || !s.Literal(".") || !s.Int(f[1]))
        return false;
    for (int i = 2; i < 8; ++i)
    {
        s.SkipSpace();
        if (!s.Int(f[i]))
            return false;
    }
    s.SkipSpace();
    return true;
}

void ApplyMelodyLine(ChordProgression& progression, const std::array<int, 8>& f)
{
    if (f[0] < 0 || f[0] >= MAX_STEPS || f[1] < 0 || f[1] >= MAX_VARIATIONS_PER_CHORD)
        return;
    Melody* m = progression.GetMelody(f[0], f[1]);
    if (!m)
        return;
    m->mRestorePending = false;
    m->mEnabled = f[2] == 1;
    m->mRepeatCount = f[3];
    for (int k = 0; k < kPitchSetsPerMelody; ++k)
    {
        PitchSet& p = m->mPitchSets[k];
        // Only the five degree bits mean anything; other bits would break the mask invariant.
        p.mBaseMask = p.mPlayingMask = f[4 + k] & (kMaskLimit - 1);
        p.mSavedMask = 0;
        p.mRestorePending = false;
        // The loaded pattern is what "Orig" brings back.
        m->mBasePitchSets[k] = p;
    }
}
} // namespace

bool IsLeftOutOfPresets(const IParamTable& plug, int paramIdx)
{
    const IParameter* p = plug.GetParam(paramIdx);
    return !p || p->Name()[0] == '\0' || IsCommandParam(paramIdx);
}

void CopyPresetContent(const IParamTable& plug, const ChordProgression& progression,
                       const GrooveMaker& groove, PresetContent& content) noexcept
{
    const size_t n = std::min(content.mValues.size(), static_cast<size_t>(plug.NParams()));
    for (size_t i = 0; i < n; ++i)
        content.mValues[i] = plug.GetParam(static_cast<int>(i))->Value();
    content.mProgression = progression;
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
        content.mVelocities[i] = groove.Velocity(i);
}

std::string PresetText(const IParamTable& plug, const PresetContent& content)
{
    std::string out;
    char line[128];
    std::snprintf(line, sizeof(line), "Orlantix V%d.%d\n", kPresetVersionMajor,
                  kPresetVersionMinor);
    out += line;
    const int n = std::min(plug.NParams(), static_cast<int>(content.mValues.size()));
    for (int i = 0; i < n; ++i)
    {
        if (IsLeftOutOfPresets(plug, i))
            continue;
        out += "param ";
        out += plug.GetParam(i)->Name();
        out += ' ';
        AppendValue(out, content.mValues[static_cast<size_t>(i)]);
        out += '\n';
    }
    AppendExtraLines(out, plug, content.mExtras);
    for (int i = 0; i < MAX_STEPS; ++i)
        for (int j = 0; j < MAX_VARIATIONS_PER_CHORD; ++j)
        {
            const Melody* m = content.mProgression.GetMelody(i, j);
            std::snprintf(line, sizeof(line), "melody %d.%d %d %d  %d %d %d %d\n", i, j,
                          m->mEnabled ? 1 : 0, m->mRepeatCount, m->mPitchSets[0].mPlayingMask,
                          m->mPitchSets[1].mPlayingMask, m->mPitchSets[2].mPlayingMask,
                          m->mPitchSets[3].mPlayingMask);
            out += line;
        }
    out += "gmsteps\n";
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
    {
        if (i == 12 || i == 24 || i == 36)
            out += '\n';
        std::snprintf(line, sizeof(line), " %3d", content.mVelocities[i]);
        out += line;
    }
    out += '\n';
    return out;
}

std::string PresetText(const IParamTable& plug, const ChordProgression& progression,
                       const GrooveMaker& groove, const ExtraState& extras)
{
    auto content = std::make_unique<PresetContent>();
    content->mValues.resize(static_cast<size_t>(plug.NParams()));
    CopyPresetContent(plug, progression, groove, *content);
    content->mExtras = extras;
    return PresetText(plug, *content);
}

PresetImage ReadPresetImage(const char* data, size_t size, const IParamTable& plug)
{
    PresetImage image;
    TextScanner s(data, size);
    int major = 0, minor = 0;
    image.mHeader = s.Literal("Orlantix V") && s.Int(major) && s.Literal(".") && s.Int(minor);
    if (image.mHeader)
    {
        s.SkipSpace();
        image.mValues.resize(static_cast<size_t>(plug.NParams()));
        for (int i = 0; i < plug.NParams(); ++i)
            image.mValues[static_cast<size_t>(i)] = plug.GetParam(i)->SteppedFromNormalised(0.0);
        std::string name;
        double value = 0.0;
        std::array<int, 8> fields{};
        for (;;)
        {
            if (ReadParamLine(s, name, value))
            {
                const int idx = FindByName(plug, name);
                // A value that is not a number would reach the handlers as an undefined
                // integer; such a line is skipped like an unknown name.
                if (idx >= 0 && !std::isnan(value))
                {
                    const IParameter* p = plug.GetParam(idx);
                    image.mValues[static_cast<size_t>(idx)] =
                        value < p->Min() ? p->Min() : (value > p->Max() ? p->Max() : value);
                    ++image.mParamLines;
                }
                else if (idx < 0)
                    ApplyExtraLine(name, value, plug, image.mExtras);
                continue;
            }
            if (!ReadMelodyLine(s, fields))
                break;
            image.mMelodies.push_back(fields);
        }
    }
    int velocity = 0;
    if (s.Literal("gmsteps ") && s.Int(velocity))
    {
        image.mVelocities.push_back(velocity);
        for (int i = 1; i < GrooveMaker::MAX_STEPS && s.Int(velocity); ++i)
            image.mVelocities.push_back(velocity);
    }
    return image;
}

PresetReadResult ApplyPresetImage(const PresetImage& image, IParamTable& plug,
                                  ChordProgression& progression, GrooveMaker& groove) noexcept
{
    PresetReadResult result;
    result.mHeader = image.mHeader;
    if (image.mHeader)
    {
        const int n = std::min(plug.NParams(), static_cast<int>(image.mValues.size()));
        for (int i = 0; i < n; ++i)
            plug.GetParam(i)->SetValue(image.mValues[static_cast<size_t>(i)]);
        for (const std::array<int, 8>& fields : image.mMelodies)
            ApplyMelodyLine(progression, fields);
        result.mParamLines = image.mParamLines;
        result.mMelodyLines = static_cast<int>(image.mMelodies.size());
    }
    for (size_t i = 0; i < image.mVelocities.size(); ++i)
        groove.SetVelocity(static_cast<int>(i), image.mVelocities[i]);
    result.mGrooveSteps = static_cast<int>(image.mVelocities.size());
    result.mExtras = image.mExtras;
    return result;
}

PresetReadResult ApplyPresetText(const char* data, size_t size, IParamTable& plug,
                                 ChordProgression& progression, GrooveMaker& groove)
{
    return ApplyPresetImage(ReadPresetImage(data, size, plug), plug, progression, groove);
}

bool ReadWholeFile(const char* path, std::string& out)
{
    out.clear();
    FileHandle f = OpenUtf8File(path, "rb");
    if (!f)
        return false;
    char buf[8192];
    size_t n;
    while (out.size() < kMaxPresetFileSize && (n = std::fread(buf, 1, sizeof(buf), f.get())) > 0)
        out.append(buf, std::min(n, kMaxPresetFileSize - out.size()));
    return true;
}

bool WriteFileSafely(const char* path, const std::string& text)
{
    if (!path || !*path)
        return false;
    const std::string temp = std::string(path) + ".saving";
    bool written = false;
    {
        FileHandle f = OpenUtf8File(temp.c_str(), "w");
        if (!f)
            return false;
        written = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size() &&
                  std::fflush(f.get()) == 0;
        // Closing flushes the last buffer: its result decides too.
        written = (std::fclose(f.release()) == 0) && written;
    }
    if (!written || !MoveFileOver(temp.c_str(), path))
    {
        DeleteFileAt(temp.c_str());
        return false;
    }
    return true;
}

std::string PresetSavePath(const std::string& chosen)
{
    const size_t at = chosen.find(kPresetExtension);
    if (at != std::string::npos && at + std::strlen(kPresetExtension) == chosen.size())
        return chosen;
    return chosen + kPresetExtension;
}
