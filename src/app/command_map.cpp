#include "app/command_map.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "core/command_ids.h"
#include "core/session.h"
#include "processing/undo_history.h"

namespace talvor {
namespace {

constexpr std::pair<int, std::string_view> kHints[] = {
    {CmNormalStretch, "Adjust the Contrast manually. setting max and min values"},
    {CmPowerLawStretch, "Power Law contrast stretch"},
    {CmMedianFilter, "Median Filter - use to reduce electronic noise in image"},
    {CmCameraInterface, "Main Camera Control"},
    {CmPhotometry, "Photometry of image - caution, use with unstretched images "},
    {CmTelescopeControl, "Control a LX200 telescope or Autoguider port"},
    {CmSelectDarkFrame, "Select a file to be used as a dark frame for automatic processing"},
    {CmUnsharpMasking, "Apply an unsharp mask - good for enhancing planetary detail"},
    {CmSubtractImage, "Subtract a dark frame from currently displayed image"},
    {CmMergeImages, "Merge current image with one already saved"},
    {CmApplyFlatField, "Apply a flatfield to the currently displayed image"},
    {CmNonLinearStretch, "Apply a non-linear stretch - good for nebulae"},
    {CmRemoveBackground, "Automatically make background black"},
    {CmProgramDefaults, "View and change most program variables"},
    {CmSelectAutoFlat, "Select a Flatfield frame to be used for automatic processing"},
    {1000, "Main Zenka Camera Control"},
    {1001, "AutoGuider Camera Control"},
    {CmMaxStretchAllImages, "Use Max Palette Stretch on all Images"},
    {CmMaxStretchFocusOnly, "Only use Max Palette Stretch on Focus Images"},
    {CmOpen, "Get an image from Disk"},
    {CmSave, "Save Image in Raw data format"},
    {CmSaveAsFits, "Save Image as a FITs file"},
};

// Tool-bar buttons that only the tool bar carries.
constexpr std::pair<int, std::string_view> kToolBarOnlyNames[] = {
    {CmMaxStretchAllImages, "Max Palette Stretch on all images"},
    {CmMaxStretchFocusOnly, "Max Palette Stretch on focus images only"},
};

constexpr MenuItem kRule{kSeparator, {}};

}  // namespace

const std::vector<MenuBarEntry>& MenuBarLayout() {
    static const std::vector<MenuBarEntry> layout{
        {"&File",
         0,
         {{CmOpen, "&Open...\tCTL+O"},
          {CmSave, "&Save...\tCTL+S"},
          {CmSaveAsTiff, "Save as &Tiff file..."},
          {CmSaveAsFits, "S&ave as FITS file..."},
          {CmQuickSaveFits, "&Quick Save as FITS\tCTL+Q "},
          kRule,
          {CmDeleteFile, "&Delete File..."},
          {CmAutoSaveFitsText, "&Load/Edit AutoSave FITS text"},
          {CmSelectDarkFrame, "Select Dark &Frame..."},
          {CmSelectAutoFlat, "Select Auto-Flat File..."},
          kRule,
          {CmProgramDefaults, "Set Program Defa&ults"},
          {CmCameraInterface, "Zenka Camera &Interface\tCTL+Z"},
          {CmPickGuideStar, "Pic&k Guide Star\tCTL+P"},
          {CmFocusFrameCentre, "Focus Frame Centre\tCTL+W"},
          {CmDefaultFocusFrameCentre, "Default Focus Frame Centre"},
          kRule,
          {CmStartAutoGuiding, "Start Auto-Guiding"},
          {CmTrainAutoGuiding, "Train Auto-Guiding"},
          {CmTelescopeControl, "Telescope &Control"},
          kRule,
          {CmPrintSetup, "P&rint setup..."},
          {CmPrint, "&Print..."},
          kRule,
          {CmExit, "E&xit"}}},
        {"&Edit",
         0,
         {{CmUndoLastFilter, "&Undo Last Filter\tCTL+U"}, {CmCopy, "&Copy\tShift+Ins"}}},
        {"&View",
         0,
         {{CmFitToWindow, "&Fit to window"},
          {CmZenkaGeometry, "Change to Zenka &Geometry"},
          {CmFalseColour, "False Colour Pa&lette"},
          {CmAutoContrast, "&Auto contrast stretch image"},
          {CmMaxPaletteStretch, "Max Palette Stretch"},
          {CmMirrorImage, "&Mirror Image"},
          kRule,
          {CmPhotometry, "&Photometry of Image"},
          kRule,
          {CmIntensityPlot3D, "3-D &Intensity Plot"},
          {CmRowIntensityPlot, "Intensity Plot of Current R&ow"},
          kRule,
          {CmProcessingHistory, "Processing &History"},
          {CmCurrentFitsDetails, "&Show/Edit Current Image FITS details"}}},
        {"&Label", CmLabel, {}},
        {"&Contrast",
         0,
         {{CmNormalStretch, "&Normal Stretch\tCTL+N"},
          {CmPowerLawStretch, "&Power Law Stretch"},
          {CmSineLawStretch, "&Sine Law Stretch"},
          {CmRemoveBackground, "&Remove Background "},
          {CmNonLinearStretch, "N&on-Linear Stretch"},
          {CmLogarithmicStretch, "&Logarithmic Stretch"},
          {CmAntilogarithmicStretch, "&Antilogarithmic Stretch"},
          {CmInvertToNegative, "&Invert image to Negative"}}},
        {"Filter&s ",
         0,
         {{CmUnsharpMasking, "&Unsharp masking HPF"},
          {CmHighPassLowPower, "&High Pass, Low Power"},
          {CmHighPassHighPower, "High Pass, High &Power"},
          {CmSmootherSharper, "&Smoother/Sharper Filter"},
          kRule,
          {CmMedianFilter, "&Median Filter - Noise Reduction"},
          {CmGaussianSmoother, "&Gaussian Smoother Filter"},
          {CmLowPassWeightedMean, "Low Pass &Weighted Mean &Smoother"},
          kRule,
          {CmBasRelief, "&Bas Relief Generator"},
          {CmGradientFilter, "Gradient &Filter"}}},
        {"&Merging",
         0,
         {{CmSubtractImage, "&Subtract Image (Dark Frame)"},
          {CmApplyFlatField, "Apply &Flat Field"},
          kRule,
          {CmMergeImages, "Merge two Images &together"},
          {CmAverageImages, "Average &with another Image file"}}},
        {"&Histogram", CmHistogram, {}},
        {"Help", 0, {{CmHelp, "Help in using Talvor"}, {CmAbout, "About Talvor"}}},
    };
    return layout;
}

const std::vector<Accelerator>& AcceleratorTable() {
    static const std::vector<Accelerator> table{
        {"Ctrl+Z", CmCameraInterface},
        {"Alt+X", CmExit},
        {"Alt+Shift+X", CmExit},
        {"Ctrl+H", CmHistogram},
        {"Ctrl+L", CmLabel},
        {"Ctrl+Q", CmQuickSaveFits},
        {"Ctrl+P", CmPickGuideStar},
        {"Ctrl+W", CmFocusFrameCentre},
        {"Ctrl+N", CmNormalStretch},
        {"Ctrl+O", CmOpen},
        {"Ctrl+S", CmSave},
        {"Ctrl+U", CmUndoLastFilter},
    };
    return table;
}

std::vector<ToolBarButton> ToolBarLayout(TelescopeType telescope) {
    std::vector<ToolBarButton> buttons{
        {CmSave, CmSave, 0},
        {CmQuickSaveFits, CmSaveAsFits, 0},
        {CmOpen, CmOpen, 0},
        {1000, CmCameraInterface, 8},
        {1002, CmMaxStretchAllImages, 6},
        {1003, CmMaxStretchFocusOnly, 0},
        {CmProgramDefaults, CmProgramDefaults, 8},
        {1903, CmPhotometry, 6},
        {CmNormalStretch, CmNormalStretch, 6},
        {CmNonLinearStretch, CmNonLinearStretch, 0},
        {CmPowerLawStretch, CmPowerLawStretch, 0},
        {CmRemoveBackground, CmRemoveBackground, 0},
        {CmUnsharpMasking, CmUnsharpMasking, 0},
        {CmMedianFilter, CmMedianFilter, 0},
        {CmSubtractImage, CmSubtractImage, 6},
        {CmApplyFlatField, CmApplyFlatField, 0},
        {CmMergeImages, CmMergeImages, 0},
    };
    if (telescope != TelescopeType::None) {
        buttons.push_back({CmTelescopeControl, CmTelescopeControl, 0});
    }
    return buttons;
}

std::string_view HintText(int id) {
    const auto found = std::find_if(std::begin(kHints), std::end(kHints),
                                    [id](const auto& hint) { return hint.first == id; });
    return found == std::end(kHints) ? std::string_view{} : found->second;
}

std::string PlainCommandName(int id) {
    for (const auto& [command, name] : kToolBarOnlyNames) {
        if (command == id) {
            return std::string(name);
        }
    }
    for (const MenuBarEntry& entry : MenuBarLayout()) {
        if (entry.id == id) {
            return std::string(entry.title.substr(entry.title.find('&') + 1));
        }
        for (const MenuItem& item : entry.items) {
            if (item.id != id) {
                continue;
            }
            std::string name(item.text.substr(0, item.text.find('\t')));
            std::erase(name, '&');
            while (!name.empty() && name.back() == ' ') {
                name.pop_back();
            }
            return name;
        }
    }
    return {};
}

CommandState EvaluateCommand(int id, const Session& session, bool hasDisplayBitmap) {
    const WorkingState& state = session.state;
    switch (id) {
        case CmCopy:
            return {hasDisplayBitmap, false, false};
        case CmUndoLastFilter:
            return {CanUndo(session.images), false, false};
        case CmStartAutoGuiding:
        case CmTrainAutoGuiding:
        case CmTelescopeControl:
            return {session.settings.Telescope != TelescopeType::None, false, false};
        case CmFitToWindow:
            return {true, true, state.FitToWindow};
        case CmZenkaGeometry:
            return {true, true, state.ZenkaGeometry};
        case CmPickGuideStar:
            return {true, true, session.guiding.PickMode};
        case CmFalseColour:
            return {true, true, state.FalseColour};
        case CmAutoContrast:
            return {true, true, state.AutoContrast};
        default:
            return {};
    }
}

}  // namespace talvor
