// orx-editor-compare: draws a plug-in's editor with the headless window layer in the state a
// screenshot was taken in (the plug-in's state chunk saved beside it) and compares the two
// pixel for pixel, outside the text areas (the rectangles of the text controls, and those of
// the editor's child windows listed in FILE.areas beside the screenshot, such as an open entry
// box; each grown by a margin), where the platforms' font rasterisers differ.
//
//   orx-editor-compare --state FILE.state --screenshot FILE.png --out FOLDER [--margin N]
//
// Writes FOLDER/headless.png and FOLDER/diff.png (equal pixels dimmed, text areas blue,
// differing pixels red) and exits 1 when any pixel outside the text areas differs. The plug-in
// is compiled into the program (MakePlugInstance), built with the headless window layer.

#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "ITextControl.h"
#include "LICE_MemBitmap.h"
#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"
#include "VstEntry.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

intptr_t ORX_VSTCALL QuietHost(vst2::Effect*, int32_t, int32_t, intptr_t, void*, float)
{
    return 0;
}

int Fail(const std::string& why)
{
    std::printf("FAIL: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string statePath, shotPath, outFolder = ".";
    int margin = 2;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string opt = argv[i];
        if (opt == "--state")
            statePath = argv[i + 1];
        else if (opt == "--screenshot")
            shotPath = argv[i + 1];
        else if (opt == "--out")
            outFolder = argv[i + 1];
        else if (opt == "--margin")
            margin = std::atoi(argv[i + 1]);
    }
    std::ifstream in(statePath, std::ios::binary);
    std::vector<char> state((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (state.empty())
        return Fail("no state in " + statePath);
    const std::unique_ptr<LICE_MemBitmap> shot = LICE::LoadPngFile(shotPath.c_str(), true);
    if (!shot)
        return Fail("cannot read the screenshot " + shotPath);

    std::unique_ptr<IPlugVST> plug(MakePlugInstance(&QuietHost));
    vst2::Effect* effect = plug ? plug->GetEffect() : nullptr;
    auto* graphics = plug ? dynamic_cast<IGraphicsWin*>(plug->GetGraphics()) : nullptr;
    if (!effect || !graphics)
        return Fail("the plug-in has no editor on the headless window layer");
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    if (effect->dispatcher(effect, vst2::effSetChunk, 0, static_cast<intptr_t>(state.size()),
                           state.data(), 0.0f) != 1)
        return Fail("the plug-in refuses the state " + statePath);
    HeadlessWindow window(*graphics);
    window.Open();
    window.Tick(4);
    const std::string headlessPath = outFolder + "/headless.png";
    if (!window.Snapshot(headlessPath.c_str()))
        return Fail("cannot write " + headlessPath);
    const std::unique_ptr<LICE_MemBitmap> headless = LICE::LoadPngFile(headlessPath.c_str(), true);
    if (!headless || headless->getWidth() != shot->getWidth() ||
        headless->getHeight() != shot->getHeight())
        return Fail("the screenshot is " + std::to_string(shot->getWidth()) + " x " +
                    std::to_string(shot->getHeight()) + ", the editor " +
                    std::to_string(graphics->Width()) + " x " + std::to_string(graphics->Height()));

    std::vector<IRect> textAreas;
    for (int i = 0; i < graphics->NControls(); ++i)
        if (dynamic_cast<const ITextControl*>(graphics->GetControl(i)))
            textAreas.push_back(graphics->GetControl(i)->GetRECT());
    const std::string stem = shotPath.substr(0, shotPath.size() - 4);
    std::ifstream areas(stem + ".areas");
    for (IRect r; areas >> r.mL >> r.mT >> r.mR >> r.mB;)
        textAreas.push_back(r);
    auto inText = [&](int x, int y)
    {
        for (const IRect& r : textAreas)
            if (x >= r.mL - margin && x < r.mR + margin && y >= r.mT - margin && y < r.mB + margin)
                return true;
        return false;
    };

    const int w = shot->getWidth(), h = shot->getHeight();
    LICE_MemBitmap diff(w, h);
    long differing = 0, masked = 0;
    for (int y = 0; y < h; ++y)
    {
        const LICE_pixel* a = shot->getBits() + static_cast<long>(y) * shot->getRowSpan();
        const LICE_pixel* b = headless->getBits() + static_cast<long>(y) * headless->getRowSpan();
        LICE_pixel* d = diff.getBits() + static_cast<long>(y) * diff.getRowSpan();
        for (int x = 0; x < w; ++x)
        {
            const LICE_pixel grey = ((b[x] >> 2) & 0x3F3F3F) | 0xFF000000u;
            if (inText(x, y))
            {
                ++masked;
                d[x] = grey | 0x80;
            }
            else if ((a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF))
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
    LICE::WritePngFile((outFolder + "/diff.png").c_str(), diff, false);
    std::printf("%ld of %d pixels differ outside the %zu text areas (%ld pixels left out)\n",
                differing, w * h, textAreas.size(), masked);
    if (textAreas.empty() || masked * 4 > static_cast<long>(w) * h)
        return Fail("the text areas must be few and small");
    return differing == 0 ? 0 : 1;
}
