// The window layer's prompts: the value prompt with its entry box, parameter menus and the
// dialogs.

#include "IGraphicsWin.h"

#include "IEditorHost.h"

#include "IParameter.h"
#include "IPopupMenu.h"
#include "ITextControl.h"
#include "ThreadRole.h"
#include "WindowSystem.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace
{
// A decimal number filling the whole text (spaces around it allowed); false for anything else.
bool ParseNumber(const std::string& text, double& value)
{
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    while (end > p && std::isspace(static_cast<unsigned char>(end[-1])))
        --end;
    if (p < end && *p == '+')
        ++p;
    const auto [stop, ec] = std::from_chars(p, end, value);
    return ec == std::errc() && stop == end && std::isfinite(value);
}
} // namespace

void IGraphicsWin::PromptUserInput(IControl* control, IParameter* param, bool textMode) noexcept
{
    ORX_MAIN_THREAD();
    if (!control || (!param && !textMode) || mEntryOpen || !IsWindowOpen())
        return;
    const IRect& r = control->GetRECT();
    std::string text;
    int cx = 0, cy = 0;
    if (textMode)
    {
        if (const auto* textControl = dynamic_cast<const ITextControl*>(control))
            text = textControl->GetText();
        if (text.size() > 999)
            text.resize(999);
        cx = (r.mL + r.mR) / 2;
        cy = (r.mT + r.mB) / 2;
    }
    else
    {
        char display[IParameter::kTextSize];
        param->DisplayText(param->Value(), false, display, sizeof(display));
        text = display;
        cx = static_cast<int>((r.mL + r.mR) * 0.5);
        cy = static_cast<int>((r.mT + r.mB) * 0.5);
    }

    PopupTakesMouse();
    // A right click on a control of a named parameter also offers MIDI learn, below the
    // control's own menu; a control without one (a knob) offers its entry box as an item.
    IEditorHost* host = GetPlug();
    const bool learn = !textMode && LastClickWasRight() && host && host->OffersMidiLearn() &&
                       control->MidiLearnable();
    std::unique_ptr<IPopupMenu> menu = control->BuildParamMenu();
    bool typedItem = false;
    if (!menu && learn)
    {
        try
        {
            menu = std::make_unique<IPopupMenu>();
            menu->AddTextItem(kTypeValueItem);
            typedItem = true;
        }
        catch (...)
        {
            menu.reset();
        }
    }
    if (menu)
    {
        const int own = menu->FlatCount();
        const int learnItems = learn ? AddLearnItems(*menu, control->ParamIdx()) : 0;
        // A right-click menu starts with the plug-in's undo and redo.
        const int history = LastClickWasRight() ? AddHistoryItems(*menu) : 0;
        const int id = mpSystem->ShowPopupMenu(*menu);
        if (history > 0 && (id == kUndoItem || id == kRedoItem))
        {
            ReleaseMouse(); // the press's own edit changed nothing: it records no step
            if (host)
                id == kUndoItem ? host->Undo() : host->Redo();
            return;
        }
        for (int i = 0; i < history; ++i)
            menu->RemoveItem(0);
        const int chosen = id > history ? id - history : 0;
        if (learnItems > 0 && chosen > own)
        {
            ReleaseMouse();
            ApplyLearnItem(chosen - own - 1, control->ParamIdx());
            return;
        }
        for (int i = 0; i < learnItems; ++i)
            menu->RemoveItem(menu->NItems() - 1);
        if (typedItem && chosen != 1)
            return;
        if (!typedItem)
        {
            menu->SetChosenItemIdx(chosen - 1);
            if (chosen > 0)
            {
                const bool open = !InteractionOpen();
                if (open)
                    BeginInteraction(*control);
                try
                {
                    NameInteraction(control->MenuEditName(*menu, chosen - 1).c_str());
                }
                catch (...)
                {
                }
                control->ApplyMenuChoice(*menu, chosen - 1);
                if (open)
                    EndInteraction();
                TellHost(false);
            }
            return;
        }
        // "Type a value...": the entry box, as a right click opened it before.
    }

    const IRect box(cx - kEntryWidth / 2, cy - kEntryHeight / 2, cx + kEntryWidth / 2,
                    cy + kEntryHeight / 2);
    if (!mpSystem->CreateEntryBox(box, text, kEntryFontHeight))
        return;
    mEntryOpen = true;
    mEntryState = 0;
    mpPromptControl = control;
    mpPromptParam = textMode ? nullptr : param;
}

int IGraphicsWin::AddLearnItems(IPopupMenu& menu, int paramIdx) noexcept
{
    IEditorHost* host = GetPlug();
    const int before = menu.NItems();
    try
    {
        menu.AddSeparator();
        menu.AddTextItem(host->LearningParam() == paramIdx ? kCancelLearnItem : kLearnItem);
        int controller = -1, channel = -1;
        if (host->ControllerOf(paramIdx, controller, channel))
        {
            const std::string forget = "Forget CC " + std::to_string(controller) + " (channel " +
                                       std::to_string(channel + 1) + ")";
            menu.AddTextItem(forget.c_str());
        }
    }
    catch (...)
    {
        // Out of memory: the menu as the control made it.
        while (menu.NItems() > before)
            menu.RemoveItem(menu.NItems() - 1);
    }
    return menu.NItems() - before;
}

void IGraphicsWin::ApplyLearnItem(int item, int paramIdx) noexcept
{
    IEditorHost* host = GetPlug();
    if (!host)
        return;
    // Item 0 is the separator.
    if (item == 1)
        host->LearnController(host->LearningParam() == paramIdx ? -1 : paramIdx);
    else if (item == 2)
        host->ForgetController(paramIdx);
}

int IGraphicsWin::AddHistoryItems(IPopupMenu& menu) noexcept
{
    IEditorHost* host = GetPlug();
    if (!host)
        return 0;
    int inserted = 0;
    try
    {
        const auto label = [](const char* verb, const std::string& name)
        { return name.empty() ? std::string(verb) : std::string(verb) + " " + name; };
        const std::string undo = host->UndoName();
        const std::string redo = host->RedoName();
        menu.AddTextItem(label("Undo", undo).c_str(), 0,
                         undo.empty() ? IPopupMenu::Item::kDisabled : 0);
        ++inserted;
        menu.AddTextItem(label("Redo", redo).c_str(), 1,
                         redo.empty() ? IPopupMenu::Item::kDisabled : 0);
        ++inserted;
        menu.AddSeparator(2);
        return ++inserted;
    }
    catch (...)
    {
        // Out of memory: the menu as the control made it.
        for (; inserted > 0; --inserted)
            menu.RemoveItem(0);
        return 0;
    }
}

void IGraphicsWin::CommitEntry() noexcept
{
    // A text-mode entry has no parameter: it closes without applying its text.
    if (!mpPromptParam || !mpPromptControl)
        return;
    const std::string text = mpSystem->EntryText(kMaxEntryText);
    double v = 0.0;
    if (mpPromptParam->NDisplayTexts() == 0)
    {
        if (!ParseNumber(text, v))
            return; // not a number: the value stays as it was
        if (mpPromptParam->NegateDisplay())
            v = -v;
    }
    else
    {
        int key = 0;
        if (!mpPromptParam->ValueForText(text.c_str(), &key))
            key = 0;
        v = key;
    }
    // The prompt's own gesture and edit: the press that opened it was over long ago.
    const bool own = !InteractionOpen();
    if (own)
        BeginInteraction(*mpPromptControl);
    mpPromptControl->SetValueFromUser(mpPromptParam->ToNormalised(v));
    if (own)
        EndInteraction();
    TellHost(false);
}

void IGraphicsWin::CloseEntry() noexcept
{
    if (mEntryOpen && mpSystem)
        mpSystem->DestroyEntryBox();
    mEntryOpen = false;
    mEntryState = 0;
    mpPromptControl = nullptr;
    mpPromptParam = nullptr;
}

void IGraphicsWin::PopupParamMenu(IControl* control, IParameter* param, int perColumn) noexcept
{
    ORX_MAIN_THREAD();
    if (!control || !param || !IsWindowOpen())
        return;
    IPopupMenu menu;
    const double current = std::trunc(param->Value());
    for (int key = 0; key < param->NDisplayTexts(); ++key)
    {
        const char* text = DisplayTextForKey(*param, key);
        int flags = 0;
        if (key == current)
            flags |= IPopupMenu::Item::kChecked;
        if (perColumn > 0 && key > 0 && key % perColumn == 0)
            flags |= IPopupMenu::Item::kBreak;
        menu.AddTextItem(text ? text : "", -1, flags);
    }
    PopupTakesMouse();
    const int id = mpSystem->ShowPopupMenu(menu);
    menu.SetChosenItemIdx(id - 1);
    const char* chosen = id > 0 ? DisplayTextForKey(*param, id - 1) : nullptr;
    int key = 0;
    if (chosen && param->ValueForText(chosen, &key))
    {
        const bool own = !InteractionOpen();
        if (own)
            BeginInteraction(*control);
        control->SetValueFromUser(param->ToNormalised(key));
        if (own)
            EndInteraction();
        TellHost(false);
    }
}

bool IGraphicsWin::PromptForFile(std::string& path, int action, const char* folder,
                                 const char*) noexcept
{
    ORX_MAIN_THREAD();
    path.clear();
    if (!IsWindowOpen())
        return false;
    std::string start;
    if (folder && *folder)
        start = folder;
    else
        HostProgramFolder(start);
    if (!mpSystem->ChooseFile(path, action == 1, start))
    {
        path.clear();
        return false;
    }
    return true;
}

bool IGraphicsWin::PromptForColour(IColorARGB& color, const char* prompt) noexcept
{
    ORX_MAIN_THREAD();
    if (!IsWindowOpen())
        return false;
    IColorARGB chosen = color;
    if (!mpSystem->ChooseColour(chosen, prompt ? prompt : ""))
        return false;
    color.mR = chosen.mR;
    color.mG = chosen.mG;
    color.mB = chosen.mB;
    return true;
}

bool IGraphicsWin::OpenUrl(const char* url, const char* title, const char* confirm,
                           const char* error) noexcept
{
    ORX_MAIN_THREAD();
    if (!url || !mpSystem)
        return false;
    const std::string caption = title ? title : "";
    if (confirm && !mpSystem->AskYesNo(caption, confirm))
        return false;
    if (mpSystem->OpenUrl(url))
        return true;
    if (error)
        mpSystem->ShowMessage(caption, error);
    return false;
}
