// The editor as the user sees it, painted off screen and compared with the pictures under
// docs/ (which the engineering guide shows): at rest, with a factory preset loaded, and while
// playing. Pixels must be equal (RGB), and equal to a full repaint of the same state. After a
// change of the editor's looks, write them again with
//   make snapshots        (or ORLANTIX_UPDATE_SNAPSHOTS=1 build/linux/tests/editor/editor_tests)
// A mismatch leaves the fresh picture in the test's working folder, as <name>.fresh.png.

#include "EditorHarness.h"
#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"
#include "OrlantixParamIndex.h"
#include "PresetNameControl.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace editor_test;

namespace
{

bool Updating()
{
    const char* update = std::getenv("ORLANTIX_UPDATE_SNAPSHOTS");
    return update && std::string(update) == "1";
}

// The differing pixels of two pictures of the same size (RGB), with the first one described.
int Differing(const LICE_IBitmap& want, const LICE_IBitmap& got, std::ostringstream& first)
{
    int differing = 0;
    for (int y = 0; y < want.getHeight(); ++y)
        for (int x = 0; x < want.getWidth(); ++x)
        {
            const auto a = want.getBits()[y * want.getRowSpan() + x] & 0xFFFFFFu;
            const auto b = got.getBits()[y * got.getRowSpan() + x] & 0xFFFFFFu;
            if (a != b && differing++ == 0)
                first << " (first at " << x << ", " << y << ": " << std::hex << a << " became " << b
                      << ")";
        }
    return differing;
}

::testing::AssertionResult MatchesSnapshot(Harness& h, const std::string& name)
{
    const std::string committed = std::string(ORX_SOURCE_DIR) + "/docs/" + name + ".png";
    const std::string fresh = name + ".fresh.png";
    if (!h.Window().Snapshot(fresh.c_str()))
        return ::testing::AssertionFailure() << "cannot write " << fresh;
    // What the frames painted bit by bit is what a full repaint paints: no control leaves a
    // trace of an earlier picture when only part of it is repainted.
    const std::string repainted = name + ".repainted.png";
    h.Graphics().MarkAllDirty();
    h.Window().Tick();
    if (!h.Window().Snapshot(repainted.c_str()))
        return ::testing::AssertionFailure() << "cannot write " << repainted;
    const auto got = LICE::LoadPngFile(fresh.c_str(), true);
    const auto whole = LICE::LoadPngFile(repainted.c_str(), true);
    std::ostringstream firstRepainted;
    if (!got || !whole || Differing(*whole, *got, firstRepainted) > 0)
        return ::testing::AssertionFailure()
               << fresh << " differs from a full repaint, " << repainted << firstRepainted.str();
    std::filesystem::remove(repainted);
    if (Updating())
    {
        std::filesystem::create_directories(std::filesystem::path(committed).parent_path());
        std::filesystem::copy_file(fresh, committed,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(fresh);
        return ::testing::AssertionSuccess();
    }
    const auto want = LICE::LoadPngFile(committed.c_str(), true);
    if (!want)
        return ::testing::AssertionFailure() << committed << " is missing; make snapshots";
    if (got->getWidth() != want->getWidth() || got->getHeight() != want->getHeight())
        return ::testing::AssertionFailure() << fresh << " differs in size from " << committed;
    std::ostringstream first;
    if (const int differing = Differing(*want, *got, first); differing > 0)
        return ::testing::AssertionFailure()
               << differing << " pixels of " << fresh << " differ from " << committed << first.str()
               << "; if the change is meant, make snapshots";
    std::filesystem::remove(fresh);
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(EditorSnapshot, AtRestWithAFactoryPresetAndWhilePlaying)
{
    {
        Harness h;
        h.Window().Tick(2);
        EXPECT_TRUE(MatchesSnapshot(h, "editor-at-rest"));
    }
    {
        Harness h;
        h.Plug().ConfigPool().SetString(kConfigPresetFolder, ORX_SOURCE_DIR "/presets");
        h.Window().AnswerMenu("Rescan");
        h.Window().Click(600, 524);
        h.Window().AnswerMenu("Swung Groove");
        h.Window().Click(600, 524);
        h.Window().Tick(2);
        EXPECT_STREQ(h.Editor().PresetField().GetText(), "Swung Groove");
        EXPECT_TRUE(MatchesSnapshot(h, "editor-preset"));
    }
    {
        // Five pulses and a half in: the groove cursor on step 5.
        Harness h;
        h.Play(0, 5 * kPulse + kPulse / 2);
        h.Window().Tick(2);
        EXPECT_EQ(h.Editor().Model().mGrooveCurrentStep, 5);
        EXPECT_TRUE(MatchesSnapshot(h, "editor-playing"));
    }
}
