// The preset field's menu over a real folder tree: it lists the tree, loads a chosen file,
// saves in place and as a new file (both atomic: the file is replaced whole), rescans, and
// loads through the file dialog.

#include "EditorHarness.h"
#include "OrlantixParamIndex.h"
#include "PresetNameControl.h"
#include "TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <optional>

using namespace editor_test;

namespace
{
constexpr int kFieldX = 600;
constexpr int kFieldY = 524;

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            names.push_back(std::filesystem::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

// Opens the preset menu, answering it with item (empty: dismissed) and, when given, the file
// dialog that follows with file (empty: cancelled); answers what the menu listed.
std::vector<std::string> OpenMenu(Harness& h, const std::string& item = "",
                                  const std::optional<std::string>& file = std::nullopt)
{
    if (item.empty())
        h.Window().AnswerMenu(0);
    else
        h.Window().AnswerMenu(item);
    if (file)
        h.Window().AnswerFile(*file);
    h.Window().Click(kFieldX, kFieldY);
    h.Window().Tick();
    return h.Window().LastMenu();
}

// The same, for a command that shows a file dialog: it must be of the kind given (a Save As
// that showed an open dialog would want an existing file), answered with file.
using Dialog = HeadlessWindow::EFileDialog;
void OpenMenu(Harness& h, const std::string& item, Dialog dialog, const std::string& file)
{
    OpenMenu(h, item, file);
    EXPECT_EQ(h.Window().LastFileDialog(), dialog)
        << item << " (1: an open dialog, 2: a save dialog)";
}

const std::vector<std::string> kCommands = {"---",         "Load ...", "---",   "Save",
                                            "Save As ...", "---",      "Rescan"};
} // namespace

TEST(PresetBrowser, ListsTheFolderTreeLoadsSavesAndRescans)
{
    TempFolder root;
    const std::string factory = std::string(ORX_SOURCE_DIR) + "/presets/";
    std::filesystem::copy_file(factory + "Swung Groove.preset", root.Path() / "x.preset");
    root.Write("sub/z.preset", ReadText(factory + "Four Chords.preset"));
    root.MakeFolder("empty");
    root.MakeFolder("nothing/inside");
    root.Write("README", "not a preset: no extension");

    Harness h;
    h.Plug().ConfigPool().SetString(kConfigPresetFolder, root.Str().c_str());
    // The tree of construction is empty; Rescan reads the folder.
    EXPECT_EQ(OpenMenu(h, "Rescan"), kCommands);
    std::vector<std::string> listed = {"x", "sub", "> z"};
    listed.insert(listed.end(), kCommands.begin(), kCommands.end());
    EXPECT_EQ(OpenMenu(h, "z"), listed);

    // Loading is heard as the preset read by the instance itself.
    Harness reference;
    reference.Plug().ReadPreset((root.Path() / "sub/z.preset").c_str());
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "z");
    EXPECT_EQ(FormatStream(h.Play(0, 16 * kPulse)), FormatStream(reference.Play(0, 16 * kPulse)));

    // Save writes the file in place, whole; no other file appears.
    auto [vx, vy] = Harness::Centre(*h.ControlOf(kVel));
    h.Window().Drag(vx, vy, vx, vy - 16);
    OpenMenu(h, "Save");
    EXPECT_NE(ReadText(root.Path() / "sub/z.preset").find("param Vel 108.000000000000"),
              std::string::npos);
    EXPECT_EQ(FilesIn(root.Path()),
              (std::vector<std::string>{"README", "sub/z.preset", "x.preset"}));

    // Save As asks for a file in the preset folder, adds ".preset" and lists the new file.
    OpenMenu(h, "Save As ...", Dialog::kSave, (root.Path() / "new").string());
    EXPECT_EQ(h.Window().LastFileFolder(), root.Str());
    EXPECT_EQ(ReadText(root.Path() / "new.preset"), ReadText(root.Path() / "sub/z.preset"));
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "new");
    listed = OpenMenu(h);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "new"), 1);

    // A file added by other means appears after Rescan only.
    root.Write("sub/later.preset", ReadText(factory + "Default.preset"));
    listed = OpenMenu(h);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "> later"), 0);
    OpenMenu(h, "Rescan");
    listed = OpenMenu(h);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "> later"), 1);

    // Load ... reads the file the dialog answers.
    OpenMenu(h, "Load ...", Dialog::kOpen, (root.Path() / "x.preset").string());
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "x");
    EXPECT_EQ(h.Plug().GetParam(kSwing)->Value(), 0.6);
}

TEST(PresetBrowser, SaveWithoutAFileOfItsOwnAsksForOne)
{
    TempFolder root;
    Harness h;
    h.Plug().ConfigPool().SetString(kConfigPresetFolder, root.Str().c_str());
    OpenMenu(h, "Save", Dialog::kSave, (root.Path() / "first.preset").string());
    EXPECT_EQ(FilesIn(root.Path()), (std::vector<std::string>{"first.preset"}));
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "first");
    // A cancelled dialog writes nothing.
    Harness other;
    other.Plug().ConfigPool().SetString(kConfigPresetFolder, root.Str().c_str());
    OpenMenu(other, "Save", Dialog::kSave, std::string());
    EXPECT_EQ(FilesIn(root.Path()), (std::vector<std::string>{"first.preset"}));
    EXPECT_STREQ(other.Editor().PresetField().GetText(), "PRESET");
}

// The menu lists files, then folders, each in name order whatever order the disk lists them
// in, and leaves hidden entries out; every item loads the file it names.
TEST(PresetBrowser, ListsNamesInOrderAndEachItemLoadsWhatItShows)
{
    TempFolder root;
    const std::string preset = ReadText(std::string(ORX_SOURCE_DIR) + "/presets/Default.preset");
    // Written in the reverse of the order expected, so the disk's own order cannot pass.
    for (const char* name :
         {"Drums/Kick 10.preset", "Drums/kick 9.preset", "bass/Wobble.preset", "10 Leads/l.preset",
          "9 Pads/p.preset", ".git/hidden.preset", "Zeta.preset", "Beta 10.preset", "beta 9.preset",
          "alpha.preset", "_init.preset", ".hidden.preset", ".DS_Store"})
        root.Write(name, preset);

    Harness h;
    h.Plug().ConfigPool().SetString(kConfigPresetFolder, root.Str().c_str());
    OpenMenu(h, "Rescan");
    std::vector<std::string> expected = {"_init",    "alpha", "beta 9",   "Beta 10",  "Zeta",
                                         "9 Pads",   "> p",   "10 Leads", "> l",      "bass",
                                         "> Wobble", "Drums", "> kick 9", "> Kick 10"};
    expected.insert(expected.end(), kCommands.begin(), kCommands.end());
    EXPECT_EQ(OpenMenu(h), expected);

    // Each file's item, chosen from the menu, loads that file: the field shows its name.
    for (const char* file :
         {"_init", "alpha", "beta 9", "Beta 10", "Zeta", "p", "l", "Wobble", "kick 9", "Kick 10"})
    {
        OpenMenu(h, file);
        EXPECT_STREQ(h.Editor().PresetField().GetText(), file);
    }
}
