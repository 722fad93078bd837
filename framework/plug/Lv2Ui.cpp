// The plug-in's LV2 user interface: an X11 UI that opens the instance's own editor in the
// host's window. It reaches the instance through the host's instance access; a host that does
// not offer it gets no UI and shows its own controls for the ports. The editor's edits reach the
// host through the UI's write function (and the touch feature for gestures), sent by the
// instance once its lock is free; the host's idle calls give the editor its frames.

#include "Lv2Entry.h"

#include "IPlugEditor.h"
#include "ThreadRole.h"

#include <lv2/instance-access/instance-access.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{

struct UiHandle
{
    IPlugLV2* mpPlug = nullptr;
};

IPlugLV2* PlugOf(LV2UI_Handle handle) noexcept
{
    return handle ? static_cast<UiHandle*>(handle)->mpPlug : nullptr;
}

const void* FeatureData(const LV2_Feature* const* features, const char* uri) noexcept
{
    for (int i = 0; features && features[i]; ++i)
        if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0)
            return features[i]->data;
    return nullptr;
}

// [main-thread]
LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) noexcept
{
    ORX_MAIN_THREAD();
    auto* plug =
        static_cast<IPlugLV2*>(const_cast<void*>(FeatureData(features, LV2_INSTANCE_ACCESS_URI)));
    void* parent = const_cast<void*>(FeatureData(features, LV2_UI__parent));
    IPlugEditor* editor = plug ? plug->GetEditor() : nullptr;
    if (!plug || !parent || !widget || !editor || !editor->HasScreen() || !pluginUri ||
        std::strcmp(pluginUri, Lv2PluginUri()) != 0)
        return nullptr;
    std::unique_ptr<UiHandle> ui(new (std::nothrow) UiHandle{plug});
    if (!ui)
        return nullptr;
    void* window = nullptr;
    {
        IMutexLock lock(plug->Mutex());
        window = editor->OpenWindow(parent);
        if (window)
            plug->HandleEditorOpen();
    }
    if (!window)
        return nullptr;
    Lv2UiLink link;
    link.mWrite = write;
    link.mController = controller;
    link.mpTouch = static_cast<const LV2UI_Touch*>(FeatureData(features, LV2_UI__touch));
    link.mpResize = static_cast<const LV2UI_Resize*>(FeatureData(features, LV2_UI__resize));
    plug->SetUiLink(link);
    plug->EditorResized();
    *widget = window;
    return ui.release();
}

// [main-thread]
void Cleanup(LV2UI_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    std::unique_ptr<UiHandle> ui(static_cast<UiHandle*>(handle));
    IPlugLV2* plug = PlugOf(handle);
    if (!plug)
        return;
    {
        IMutexLock lock(plug->Mutex());
        if (IPlugEditor* editor = plug->GetEditor())
        {
            plug->HandleEditorClose();
            editor->CloseWindow();
        }
    }
    // What the editor left for the host goes out while the host still listens.
    plug->FlushHostNotices(true);
    plug->ClearUiLink();
}

// [main-thread] The instance reads its ports itself, every block.
void PortEvent(LV2UI_Handle /*handle*/, uint32_t /*port*/, uint32_t /*size*/, uint32_t /*format*/,
               const void* /*buffer*/) noexcept
{
    ORX_MAIN_THREAD();
}

// [main-thread] The editor's frame; then what its edits left for the host.
int Idle(LV2UI_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    IPlugLV2* plug = PlugOf(handle);
    if (!plug)
        return 1;
    if (IPlugEditor* editor = plug->GetEditor())
        editor->IdleWindow();
    plug->FlushHostNotices(true);
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {&Idle};

// The UI's URI, the plug-in's with kLv2UiSuffix, built once without allocating.
const char* UiUri() noexcept
{
    static const auto uri = []() noexcept
    {
        std::array<char, 512> text{};
        std::snprintf(text.data(), text.size(), "%s%s", Lv2PluginUri(), kLv2UiSuffix);
        return text;
    }();
    return uri.data();
}

// [main-thread]
const void* ExtensionData(const char* uri) noexcept
{
    ORX_MAIN_THREAD();
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &kIdleInterface;
    return nullptr;
}

} // namespace

// [main-thread] The UI's descriptor.
const LV2UI_Descriptor* Lv2UiDescriptor(uint32_t index) noexcept
{
    ORX_MAIN_THREAD();
    static const LV2UI_Descriptor descriptor = {UiUri(), &Instantiate, &Cleanup, &PortEvent,
                                                &ExtensionData};
    return index == 0 ? &descriptor : nullptr;
}
