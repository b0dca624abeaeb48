#include "app/command_map.h"

#include <gtest/gtest.h>

#include <set>

#include "core/command_ids.h"
#include "display/stretch_palette.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

TEST(CommandMapTest, MenuBarHasItsEntriesInOrderWithUniqueCommands) {
    std::vector<std::string> titles;
    std::set<int> ids;
    int items = 0;
    for (const MenuBarEntry& entry : MenuBarLayout()) {
        titles.emplace_back(entry.title);
        if (entry.id != kSeparator) {
            EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
            ++items;
        }
        for (const MenuItem& item : entry.items) {
            if (item.id != kSeparator) {
                EXPECT_TRUE(ids.insert(item.id).second) << item.id;
                ++items;
            }
        }
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&View", "&Label", "&Contrast",
                                                "Filter&s ", "&Merging", "&Histogram", "Help"}));
    EXPECT_EQ(items, 58);
}

TEST(CommandMapTest, AcceleratorsReachTheirCommands) {
    std::map<std::string, int> keys;
    for (const Accelerator& accelerator : AcceleratorTable()) {
        keys[std::string(accelerator.keys)] = accelerator.id;
    }
    EXPECT_EQ(keys.at("Ctrl+Z"), CmCameraInterface);
    EXPECT_EQ(keys.at("Alt+X"), CmExit);
    EXPECT_EQ(keys.at("Alt+Shift+X"), CmExit);
    EXPECT_EQ(keys.at("Ctrl+H"), CmHistogram);
    EXPECT_EQ(keys.at("Ctrl+L"), CmLabel);
    EXPECT_EQ(keys.at("Ctrl+Q"), CmQuickSaveFits);
    EXPECT_EQ(keys.at("Ctrl+P"), CmPickGuideStar);
    EXPECT_EQ(keys.at("Ctrl+W"), CmFocusFrameCentre);
    EXPECT_EQ(keys.at("Ctrl+N"), CmNormalStretch);
    EXPECT_EQ(keys.at("Ctrl+O"), CmOpen);
    EXPECT_EQ(keys.at("Ctrl+S"), CmSave);
    EXPECT_EQ(keys.at("Ctrl+U"), CmUndoLastFilter);
    EXPECT_EQ(keys.size(), 12u);
}

TEST(CommandMapTest, ToolBarGainsTheTelescopeButtonOnlyWithATelescope) {
    const auto plain = ToolBarLayout(TelescopeType::None);
    ASSERT_EQ(plain.size(), 17u);
    EXPECT_EQ(plain[1].picture, CmQuickSaveFits);
    EXPECT_EQ(plain[1].command, CmSaveAsFits);
    EXPECT_EQ(plain[3].gapBefore, 8);
    EXPECT_EQ(plain[7].picture, 1903);
    EXPECT_EQ(plain[7].command, CmPhotometry);
    const auto withScope = ToolBarLayout(TelescopeType::ControlBox);
    ASSERT_EQ(withScope.size(), 18u);
    EXPECT_EQ(withScope.back().command, CmTelescopeControl);
    EXPECT_EQ(withScope.back().picture, 24);
}

TEST(CommandMapTest, HintsAndPlainNames) {
    EXPECT_EQ(HintText(CmOpen), "Get an image from Disk");
    EXPECT_EQ(HintText(CmPhotometry),
              "Photometry of image - caution, use with unstretched images ");
    EXPECT_EQ(HintText(CmExit), "");
    EXPECT_EQ(PlainCommandName(CmOpen), "Open...");
    EXPECT_EQ(PlainCommandName(CmRemoveBackground), "Remove Background");
    EXPECT_EQ(PlainCommandName(CmHistogram), "Histogram");
    EXPECT_EQ(PlainCommandName(CmMaxStretchAllImages), "Max Palette Stretch on all images");
}

using CommandStateTest = testing::SessionTest;

TEST_F(CommandStateTest, TelescopeCommandsNeedATelescopeAndCopyNeedsAPicture) {
    for (const int id : {CmStartAutoGuiding, CmTrainAutoGuiding, CmTelescopeControl}) {
        EXPECT_FALSE(EvaluateCommand(id, session, true).enabled) << id;
    }
    session.settings.Telescope = TelescopeType::MeadeLx200;
    for (const int id : {CmStartAutoGuiding, CmTrainAutoGuiding, CmTelescopeControl}) {
        EXPECT_TRUE(EvaluateCommand(id, session, true).enabled) << id;
    }
    EXPECT_FALSE(EvaluateCommand(CmCopy, session, false).enabled);
    EXPECT_TRUE(EvaluateCommand(CmCopy, session, true).enabled);
}

TEST_F(CommandStateTest, CheckMarksFollowTheirFlags) {
    const auto checked = [this](int id) { return EvaluateCommand(id, session, false).checked; };
    EXPECT_FALSE(checked(CmFitToWindow));
    session.state.FitToWindow = true;
    session.state.ZenkaGeometry = true;
    session.state.FalseColour = true;
    session.state.AutoContrast = true;
    session.guiding.PickMode = true;
    for (const int id :
         {CmFitToWindow, CmZenkaGeometry, CmFalseColour, CmAutoContrast, CmPickGuideStar}) {
        EXPECT_TRUE(EvaluateCommand(id, session, false).checkable) << id;
        EXPECT_TRUE(checked(id)) << id;
    }
    EXPECT_FALSE(EvaluateCommand(CmMirrorImage, session, false).checkable);
}

TEST(StretchPaletteTest, ArrowsStepPagesJumpAndTheThumbSets) {
    EXPECT_EQ(StretchBitsAfterScroll(14, ScrollAction::LineLeft, 0), 13);
    EXPECT_EQ(StretchBitsAfterScroll(12, ScrollAction::LineLeft, 0), 12);
    EXPECT_EQ(StretchBitsAfterScroll(16, ScrollAction::LineRight, 0), 16);
    EXPECT_EQ(StretchBitsAfterScroll(14, ScrollAction::PageLeft, 0), 12);
    EXPECT_EQ(StretchBitsAfterScroll(13, ScrollAction::PageRight, 0), 16);
    EXPECT_EQ(StretchBitsAfterScroll(13, ScrollAction::ThumbTrack, 15), 15);
    EXPECT_EQ(StretchBitsAfterScroll(13, ScrollAction::ThumbPosition, 40), 16);
}

}  // namespace
}  // namespace talvor
