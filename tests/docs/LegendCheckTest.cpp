// The manual's pictures and the legends under them: the pictures' callouts stay inside what
// they show, and the legend check catches every way a legend can drift from its picture.

#include "LegendCheck.h"
#include "ManualPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orx::docs;

namespace
{

Picture TwoCallouts()
{
    Picture p;
    p.mFile = "knobs.png";
    p.mFraming = {{0, 0, 100, 100}, 1};
    p.mCallouts = {{1, "Rate", {{10, 10, 20, 20}}, Side::kTop},
                   {2, "Swing", {{30, 10, 40, 20}}, Side::kTop}};
    return p;
}

std::vector<std::string> Problems(const std::string& manual)
{
    return CheckLegendText({TwoCallouts()}, manual);
}

} // namespace

TEST(ManualPictures, EveryCalloutPointsInsideItsPicture)
{
    std::vector<std::string> missing;
    const std::vector<Picture> pictures = ManualPictures(missing);
    EXPECT_TRUE(missing.empty()) << missing.front();
    ASSERT_GE(pictures.size(), 4u);
    for (const Picture& picture : pictures)
    {
        const IRect& crop = picture.mFraming.mCrop;
        ASSERT_FALSE(picture.mCallouts.empty()) << picture.mFile;
        for (std::size_t i = 0; i < picture.mCallouts.size(); ++i)
        {
            const Callout& callout = picture.mCallouts[i];
            EXPECT_EQ(callout.mNumber, static_cast<int>(i) + 1) << picture.mFile;
            ASSERT_FALSE(callout.mTargets.empty()) << picture.mFile << " " << callout.mName;
            for (const IRect& target : callout.mTargets)
            {
                EXPECT_FALSE(target.Empty()) << picture.mFile << " " << callout.mName;
                EXPECT_TRUE(target.Intersect(crop) == target)
                    << picture.mFile << " " << callout.mName << " lies outside what it shows";
            }
        }
    }
}

TEST(LegendCheck, AgreesWithAMatchingLegendAndNamesEveryDrift)
{
    const std::string picture = "![Knobs](manual/knobs.png)\n\n";
    EXPECT_TRUE(Problems("# Tour\n" + picture +
                         "1. **Rate** how long a pulse is.\n2. **Swing** late pairs.\n\n"
                         "## Next\n3. **Not a callout** a list under another heading.\n")
                    .empty());

    const auto only = [](const std::vector<std::string>& problems, const std::string& part)
    { return problems.size() == 1 && problems[0].find(part) != std::string::npos; };
    EXPECT_TRUE(only(Problems("1. **Rate**\n2. **Swing**\n"), "does not show manual/knobs.png"));
    EXPECT_TRUE(only(Problems(picture + "1. **Rate**\n2. **Swung**\n"), "2 Swung"));
    EXPECT_TRUE(only(Problems(picture + "1. **Rate**\n"), "missing; the picture has 2 Swing"));
    EXPECT_TRUE(
        only(Problems(picture + "1. **Rate**\n2. **Swing**\n3. **Length**\n"), "has no callout 3"));
    // Swapped items are two drifts; a legend that stops at the next picture is too short.
    EXPECT_EQ(Problems(picture + "1. **Swing**\n2. **Rate**\n").size(), 2u);
    EXPECT_TRUE(only(Problems(picture + "1. **Rate**\n![Other](manual/other.png)\n2. **Swing**\n"),
                     "missing"));
}
