// orx-editor-compare: draws a plug-in's editor with the headless window layer in the state a
// screenshot was taken in (the preset its user loaded when given, the plug-in's state chunk
// saved beside the screenshot, then what the test host played, FILE.transport, played again)
// and compares the two pixel for pixel, outside the areas left out: the rectangles of the
// editor's child windows listed in FILE.areas beside the screenshot, such as an open entry
// box, and, unless --with-text, the text controls' rectangles (their texts never reach
// beyond them), where the platforms' font rasterisers differ; each grown by a margin. With
// --reference the screenshot must also equal that picture (a committed snapshot) outside the
// same areas.
//
//   orx-editor-compare --state FILE.state --screenshot FILE.png --out FOLDER [--margin N]
//                      [--reference PICTURE.png] [--with-text] [--preset PRESET]
//
// --with-text compares the texts too: for screenshots of a window layer that draws text with
// the headless layer's renderer (X11). Writes FOLDER/headless.png and FOLDER/diff.png (equal
// pixels dimmed, areas left out blue, differing pixels red; FOLDER/diff-reference.png for the
// reference) and exits 1 when any pixel outside those areas differs. The plug-in is compiled
// into the program (its MakePlugInstance behind the framework's entry), built with the
// headless window layer, and hosted by our own VST 2 host as the test host hosts it.

#include "ComparePreset.h"
#include "HeadlessWindow.h"
#include "HostTransport.h"
#include "IGraphicsWin.h"
#include "ITextControl.h"
#include "LICE_MemBitmap.h"
#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"
#include "VstEntry.h"
#include "VstHost.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

int Fail(const std::string& why)
{
    std::printf("FAIL: %s\n", why.c_str());
    return 1;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The pixels of a that differ from b (RGB) outside the masked areas; the picture of it, equal
// pixels dimmed, masked ones blue and differing ones red, goes to diffPath.
long Differing(const LICE_IBitmap& a, const LICE_IBitmap& b,
               const std::function<bool(int, int)>& masked, const std::string& diffPath)
{
    const int w = a.getWidth(), h = a.getHeight();
    LICE_MemBitmap diff(w, h);
    long differing = 0;
    for (int y = 0; y < h; ++y)
    {
        const LICE_pixel* p = a.getBits() + static_cast<long>(y) * a.getRowSpan();
        const LICE_pixel* q = b.getBits() + static_cast<long>(y) * b.getRowSpan();
        LICE_pixel* d = diff.getBits() + static_cast<long>(y) * diff.getRowSpan();
        for (int x = 0; x < w; ++x)
        {
            const LICE_pixel grey = ((q[x] >> 2) & 0x3F3F3F) | 0xFF000000u;
            if (masked(x, y))
            {
                d[x] = grey | 0x80;
            }
            else if ((p[x] & 0xFFFFFF) != (q[x] & 0xFFFFFF))
            {
                ++differing;
                d[x] = 0xFFFF0000u;
            }
            else
            {
                d[x] = grey;
            }
        }
    }
    LICE::WritePngFile(diffPath.c_str(), diff, false);
    return differing;
}

} // namespace

int main(int argc, char** argv)
{
    std::string statePath, shotPath, referencePath, presetPath, outFolder = ".";
    int margin = 2;
    bool withText = false;
    for (int i = 1; i < argc; i += 2)
    {
        const std::string opt = argv[i];
        if (opt == "--with-text")
        {
            withText = true;
            --i; // takes no value
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (opt == "--state")
            statePath = argv[i + 1];
        else if (opt == "--screenshot")
            shotPath = argv[i + 1];
        else if (opt == "--reference")
            referencePath = argv[i + 1];
        else if (opt == "--out")
            outFolder = argv[i + 1];
        else if (opt == "--margin")
            margin = std::atoi(argv[i + 1]);
        else if (opt == "--preset")
            presetPath = argv[i + 1];
    }
    const std::string stateText = ReadFile(statePath);
    const std::vector<uint8_t> state(stateText.begin(), stateText.end());
    if (state.empty())
        return Fail("no state in " + statePath);
    const std::unique_ptr<LICE_MemBitmap> shot = LICE::LoadPngFile(shotPath.c_str(), true);
    if (!shot)
        return Fail("cannot read the screenshot " + shotPath);
    const std::string stem = shotPath.substr(0, shotPath.size() - 4);
    std::vector<edithost::PlayedStretch> played;
    if (!edithost::ReadPlayed(ReadFile(stem + ".transport"), played))
        return Fail("cannot read " + stem + ".transport");

    orxhost::VstHost host;
    if (!host.LoadEntry(&VSTPluginMain, "the plug-in compiled in"))
        return Fail(host.Error());
    host.Start();
    auto* plug = static_cast<IPlugVST*>(host.Effect()->object);
    auto* graphics = plug ? dynamic_cast<IGraphicsWin*>(plug->GetEditor()) : nullptr;
    if (!graphics)
        return Fail("the plug-in has no editor on the headless window layer");
    if (!presetPath.empty() && !ReadComparePreset(*plug, presetPath))
        return Fail("the plug-in cannot read the preset " + presetPath);
    if (host.SetChunk(state, true) != 1)
        return Fail("the plug-in refuses the state " + statePath);
    for (const edithost::PlayedStretch& stretch : played)
        edithost::PlayThenStop(host, stretch);
    HeadlessWindow window(*graphics);
    window.Open();
    window.Tick(4);
    const std::string headlessPath = outFolder + "/headless.png";
    if (!window.Snapshot(headlessPath.c_str()))
        return Fail("cannot write " + headlessPath);
    const std::unique_ptr<LICE_MemBitmap> headless = LICE::LoadPngFile(headlessPath.c_str(), true);
    const int w = shot->getWidth(), h = shot->getHeight();
    if (!headless || headless->getWidth() != w || headless->getHeight() != h)
        return Fail("the screenshot is " + std::to_string(w) + " x " + std::to_string(h) +
                    ", the editor " + std::to_string(graphics->Width()) + " x " +
                    std::to_string(graphics->Height()));

    std::vector<IRect> textAreas;
    for (int i = 0; i < graphics->NControls() && !withText; ++i)
        if (const auto* text = dynamic_cast<const ITextControl*>(graphics->GetControl(i)))
            textAreas.push_back(text->GetRECT());
    std::ifstream areas(stem + ".areas");
    for (IRect r; areas >> r.mL >> r.mT >> r.mR >> r.mB;)
        textAreas.push_back(r);
    long masked = 0;
    const auto inText = [&](int x, int y)
    {
        for (const IRect& r : textAreas)
            if (x >= r.mL - margin && x < r.mR + margin && y >= r.mT - margin && y < r.mB + margin)
                return true;
        return false;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            masked += inText(x, y) ? 1 : 0;

    const long differing = Differing(*shot, *headless, inText, outFolder + "/diff.png");
    std::printf("%ld of %d pixels differ outside the %zu %s (%ld pixels left out)%s\n", differing,
                w * h, textAreas.size(), withText ? "child windows, texts included" : "text areas",
                masked, played.empty() ? "" : ", after playing what the test host played");
    if ((textAreas.empty() && !withText) || masked * 4 > static_cast<long>(w) * h)
        return Fail("the text areas must be few and small");
    long fromReference = 0;
    if (!referencePath.empty())
    {
        const std::unique_ptr<LICE_MemBitmap> reference =
            LICE::LoadPngFile(referencePath.c_str(), true);
        if (!reference || reference->getWidth() != w || reference->getHeight() != h)
            return Fail("the reference " + referencePath + " is missing or of another size");
        fromReference = Differing(*shot, *reference, inText, outFolder + "/diff-reference.png");
        std::printf("%ld pixels differ from %s outside them\n", fromReference,
                    referencePath.c_str());
    }
    return differing == 0 && fromReference == 0 ? 0 : 1;
}
