#include "EditorScene.h"

#include "HeadlessWindow.h"
#include "IGraphicsWin.h"
#include "IMouseKeys.h"
#include "LICE_Blit.h"
#include "LICE_Pixel.h"
#include "LICE_SysBitmap.h"
#include "MelodyGridLayout.h"
#include "Orlantix.h"
#include "OrlantixEditor.h"
#include "OrlantixInProcess.h"
#include "VstHost.h"

#include <memory>

namespace orx::docs
{
namespace
{

constexpr float kSampleRate = 44100.0f;
constexpr int kBlock = 512;

} // namespace

bool PaintScene(const Scene& scene, const std::string& source, LICE_MemBitmap& out,
                std::string& error)
{
    orxhost::VstHost host;
    if (!host.LoadEntry(&OrlantixInProcessEntry, "Orlantix (in process)"))
    {
        error = host.Error();
        return false;
    }
    host.SetBufferChecks(false);
    host.Start(kSampleRate, kBlock);
    auto* plug = static_cast<Orlantix*>(static_cast<IPlugVST*>(host.Effect()->object));
    OrlantixEditor* editor = OrlantixEditor::Of(*plug);
    if (!editor)
    {
        error = "the instance has no editor";
        return false;
    }
    // Gone before the host closes the instance, and its editor with it.
    HeadlessWindow window(editor->Graphics());
    window.Open();
    window.Tick();
    if (!scene.mPreset.empty())
    {
        const std::string path = source + "/presets/" + scene.mPreset + ".preset";
        if (!plug->ReadPreset(path.c_str()))
        {
            error = "cannot read " + path;
            return false;
        }
        window.Tick();
    }
    // Control held: cells are selected without a degree being toggled.
    const IMouseKeys control{true, false, false, true, false};
    for (const int cell : scene.mSelectedCells)
    {
        const IRect r = melody_grid::CanvasRect(cell / 4, cell % 4);
        window.Click((r.mL + r.mR) / 2, (r.mT + r.mB) / 2, control);
    }
    auto& transport = host.GetTransport();
    transport.mPlaying = true;
    transport.mSamplePos = 0.0;
    for (long long done = 0; done < scene.mPlayFrames; done += kBlock)
        host.Process(static_cast<int>(std::min<long long>(kBlock, scene.mPlayFrames - done)));
    window.Tick(2);
    const LICE_SysBitmap* surface = editor->Graphics().Surface();
    if (!surface)
    {
        error = "the editor has no surface";
        return false;
    }
    out.resize(surface->getWidth(), surface->getHeight());
    LICE::Blit(&out, surface, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    return true;
}

} // namespace orx::docs
