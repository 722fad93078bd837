#pragma once
// A plug-in as the graphics layer knows one (an IEditorHost, no plug-in library): a few kinds of
// parameter, a log of what the editor tells it, and the editor it owns; and solid-colour
// filmstrip images for controls.

#include "IBitmapHandle.h"
#include "IControl.h"
#include "IEditorHost.h"
#include "IGraphics.h"
#include "IMutex.h"
#include "IParameter.h"
#include "IPlugEditor.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"

#include <memory>
#include <string>
#include <vector>

enum ETestParams
{
    kGain = 0,  // 0 .. 10, real
    kMode = 1,  // enumeration "Saw", "Square", "Sine"
    kOn = 2,    // boolean
    kSteps = 3, // 1 .. 16, integer
    kNumTestParams
};

class EditorPlug : public IEditorHost
{
public:
    EditorPlug()
    {
        for (auto& p : mParams)
            p = std::make_unique<IParameter>();
        GetParam(kGain)->InitDouble("Gain", 5.0, 0.0, 10.0, 0.01, "dB");
        GetParam(kMode)->InitEnum("Mode", 0, 3);
        GetParam(kMode)->AddDisplayText(0, "Saw");
        GetParam(kMode)->AddDisplayText(1, "Square");
        GetParam(kMode)->AddDisplayText(2, "Sine");
        GetParam(kOn)->InitBool("On", false);
        GetParam(kSteps)->InitInt("Steps", 4, 1, 16);
    }
    ~EditorPlug() { delete mpEditor; }

    int NParams() const noexcept override { return kNumTestParams; }
    IParameter* GetParam(int idx) noexcept override
    {
        return idx >= 0 && idx < kNumTestParams ? mParams[idx].get() : nullptr;
    }
    const IParameter* GetParam(int idx) const noexcept override
    {
        return idx >= 0 && idx < kNumTestParams ? mParams[idx].get() : nullptr;
    }
    IMutex& Mutex() noexcept override { return mMutex; }
    // As the plug-in base: the handler runs, then the host hears of the value.
    void SetParameterFromGUI(int idx, double normalised) override
    {
        if (IParameter* param = GetParam(idx))
        {
            param->SetNormalised(normalised);
            mLog.push_back("change " + std::to_string(idx));
            mLog.push_back("report " + std::to_string(idx));
        }
    }
    void BeginParamGestureFromGUI(int idx) override
    {
        mLog.push_back("begin " + std::to_string(idx));
    }
    void EndParamGestureFromGUI(int idx) override { mLog.push_back("end " + std::to_string(idx)); }
    void InformHostOfStateChange() noexcept override {}
    void FlushHostNotices(bool) noexcept override {}
    void EditorResized() override { mLog.push_back("resized"); }
    // The editor's edits, apart from the log: "name" as opened, "/" as closed.
    void BeginEdit(const char* name) noexcept override { mEdits.push_back(name); }
    void NameEdit(const char* name) noexcept override { mEdits.push_back(std::string("=") + name); }
    void EndEdit() noexcept override { mEdits.push_back("/"); }
    std::string UndoName() const override { return mUndoName; }
    std::string RedoName() const override { return {}; }
    bool Undo() noexcept override
    {
        mEdits.push_back("undo");
        return true;
    }
    bool Redo() noexcept override
    {
        mEdits.push_back("redo");
        return true;
    }

    // The editor, owned; it takes every parameter's value, as a plug-in's editor does.
    void AttachEditor(IPlugEditor* editor)
    {
        if (!editor)
            return;
        PushValues(editor, true);
        editor->CreateSurfaces();
        if (editor != mpEditor)
            delete mpEditor;
        mpEditor = editor;
    }
    void PushValuesToEditor()
    {
        if (mpEditor)
            PushValues(mpEditor, false);
    }

    std::vector<std::string> mLog;
    std::vector<std::string> mEdits;
    std::string mUndoName;

private:
    void PushValues(IPlugEditor* editor, bool normalised)
    {
        IMutexLock lock(mMutex);
        for (int i = 0; i < kNumTestParams; ++i)
            editor->PushParamValue(i, normalised ? mParams[i]->Normalised() : mParams[i]->Value(),
                                   normalised);
    }

    IMutex mMutex;
    std::unique_ptr<IParameter> mParams[kNumTestParams];
    IPlugEditor* mpEditor = nullptr;
};

// A value from the host, pushed as the binding pushes it: under the instance lock.
inline void PushFromHost(IGraphics& g, int paramIdx, double value, bool normalised)
{
    IMutexLock lock(g.GetPlug()->Mutex());
    g.PushParamValue(paramIdx, value, normalised);
}

// An image of `frames` frames of w x h, frame i (1-based) filled with FrameColor(i).
inline LICE_pixel FrameColor(int frame)
{
    return 0xFF000000u | static_cast<LICE_pixel>(frame * 0x010203);
}

struct Filmstrip
{
    std::unique_ptr<LICE_MemBitmap> mpBitmap;
    IBitmapHandle mHandle;

    Filmstrip(int w, int h, int frames) : mpBitmap(std::make_unique<LICE_MemBitmap>(w, h * frames))
    {
        for (int i = 1; i <= frames; ++i)
            LICE::FillRectangle(mpBitmap.get(), 0, (i - 1) * h, w, h, FrameColor(i), 1.0f, 0);
        mHandle = {mpBitmap.get(), w, h * frames, frames};
    }
};

// A control that counts its paints and fills its rectangle with a colour.
class CountingControl : public IControl
{
public:
    using IControl::IControl;
    bool Paint(IGraphics&) noexcept override
    {
        ++mPaints;
        return true;
    }
    void HandleMouseDrag(int, int, int dx, int dy, const IMouseKeys&) noexcept override
    {
        mDrags.push_back({dx, dy});
    }
    void HandleMouseUp(int, int, const IMouseKeys&) noexcept override { ++mUps; }
    int mPaints = 0;
    int mUps = 0;
    std::vector<std::pair<int, int>> mDrags;
};
