#include "app/ui/talvor_frame.h"

#include <QAction>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QProxyStyle>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>

#include "app/command_map.h"
#include "app/ui/about_dialog.h"
#include "app/ui/file_menu_commands.h"
#include "app/ui/help_window.h"
#include "app/ui/print_commands.h"
#include "app/ui/talvor_window.h"
#include "app/ui/toolbar_pictures.h"
#include "app/view_commands.h"
#include "camera/ui/camera_menu_commands.h"
#include "core/command_ids.h"
#include "core/session.h"
#include "display/display_bitmap.h"
#include "display/ui/max_value_dialog.h"
#include "guiding/ui/guiding_commands.h"
#include "image/ui/delete_file_command.h"
#include "image/ui/fits_commands.h"
#include "image/ui/program_defaults_command.h"
#include "measurement/ui/measurement_commands.h"
#include "processing/merge_mode.h"
#include "processing/mirror_image.h"
#include "processing/ui/calibration_commands.h"
#include "processing/ui/contrast_filter_commands.h"
#include "telescope/ui/show_telescope_control.h"

namespace talvor {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Tool-bar buttons side by side with no space of the style's own between them, so that the
// whole bar, telescope button included, fits the frame's width.
class CompactToolBarStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ToolBarItemSpacing || metric == PM_ToolBarItemMargin ||
            metric == PM_ToolBarFrameWidth) {
            return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

constexpr int kFrameWidth = 710;
constexpr int kFrameHeight = 490;

}  // namespace

TalvorFrame::TalvorFrame(Session& session, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      client_(new TTalvorWindow(session, this)),
      toolBar_(new QToolBar(QStringLiteral("Tools"), this)),
      printer_(std::make_unique<QPrinter>()),
      files_(std::make_unique<FileMenuCommands>(session, this, *client_)) {
    setCentralWidget(client_);
    toolBar_->setIconSize(QSize(32, 32));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    auto* compact = new CompactToolBarStyle;
    compact->setParent(toolBar_);
    toolBar_->setStyle(compact);
    toolBar_->setStyleSheet(
        QStringLiteral("QToolButton { border: 1px solid transparent; padding: 0px; margin: 0px; }"
                       "QToolButton:hover { border: 1px solid #808080; }"
                       "QToolButton:pressed { border: 1px solid #404040; background: #d0d0d0; }"));
    addToolBar(Qt::TopToolBarArea, toolBar_);
    statusBar();
    BuildMenuBar();
    BuildAccelerators();
    BindShellCommands();
    BindViewCommands();
    BindFileCommands();
    BindCalibrationAndLabelCommands(*this, session_);
    BindCameraCommands(*this, session_, guidingHooks_);
    BindMeasurementCommands(*this, session_);
    BindContrastAndFilterCommands(*this, session_);
    ConnectClickHooks();
    BindGuidingCommands(*this, session_, guidingHooks_);
    RebuildToolBar();
    setWindowTitle(QString::fromLatin1(kFrameBanner));
    move(0, 0);
    resize(kFrameWidth, kFrameHeight);
    client_->setFocus();
}

TalvorFrame::~TalvorFrame() = default;

void TalvorFrame::BuildMenuBar() {
    for (const MenuBarEntry& entry : MenuBarLayout()) {
        if (entry.id != kSeparator) {
            QAction* action = menuBar()->addAction(ToQString(entry.title));
            const int id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
            menuActions_[id] = action;
            continue;
        }
        QMenu* menu = menuBar()->addMenu(ToQString(entry.title));
        for (const MenuItem& item : entry.items) {
            if (item.id == kSeparator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(ToQString(item.text));
            action->setStatusTip(ToQString(HintText(item.id)));
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
            menuActions_[id] = action;
        }
        connect(menu, &QMenu::aboutToShow, this, &TalvorFrame::UpdateCommandStates);
    }
}

void TalvorFrame::BuildAccelerators() {
    // Accelerators belong to the whole frame, so they work wherever the keyboard focus is.
    for (const Accelerator& accelerator : AcceleratorTable()) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(ToQString(accelerator.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = accelerator.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        addAction(action);
        acceleratorActions_.emplace_back(id, action);
    }
}

void TalvorFrame::RebuildToolBar() {
    toolBar_->clear();
    toolActions_.clear();
    for (const ToolBarButton& button : ToolBarLayout(session_.settings.Telescope)) {
        if (button.gapBefore > 0) {
            auto* gap = new QWidget(toolBar_);
            gap->setFixedWidth(button.gapBefore);
            toolBar_->addWidget(gap);
        }
        QAction* action =
            toolBar_->addAction(ToolBarPicture(button.picture),
                                QString::fromStdString(PlainCommandName(button.command)));
        action->setStatusTip(ToQString(HintText(button.command)));
        const int id = button.command;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        toolActions_.emplace_back(id, action);
    }
    UpdateCommandStates();
}

QWidget* TalvorFrame::Picture() {
    return client_->viewport();
}

void TalvorFrame::Bind(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
    UpdateCommandStates();
}

void TalvorFrame::Dispatch(int id) {
    const auto handler = handlers_.find(id);
    if (handler == handlers_.end() ||
        !EvaluateCommand(id, session_, client_->HasDisplayBitmap()).enabled) {
        UpdateCommandStates();
        return;
    }
    // Copy: the handler may rebind commands while it runs.
    const std::function<void()> run = handler->second;
    run();
    UpdateCommandStates();
}

void TalvorFrame::ApplyState(int id, QAction* action) {
    const CommandState state = EvaluateCommand(id, session_, client_->HasDisplayBitmap());
    action->setEnabled(IsBound(id) && state.enabled);
    action->setCheckable(state.checkable);
    if (state.checkable) {
        action->setChecked(state.checked);
    }
}

void TalvorFrame::UpdateCommandStates() {
    for (const auto& [id, action] : menuActions_) {
        ApplyState(id, action);
    }
    for (const auto& [id, action] : toolActions_) {
        ApplyState(id, action);
        action->setCheckable(false);
    }
    for (const auto& [id, action] : acceleratorActions_) {
        action->setEnabled(IsBound(id));
    }
}

QAction* TalvorFrame::MenuAction(int id) const {
    const auto found = menuActions_.find(id);
    return found == menuActions_.end() ? nullptr : found->second;
}

std::vector<QAction*> TalvorFrame::AcceleratorActions(int id) const {
    std::vector<QAction*> found;
    for (const auto& [command, action] : acceleratorActions_) {
        if (command == id) {
            found.push_back(action);
        }
    }
    return found;
}

void TalvorFrame::BindShellCommands() {
    Bind(CmHelp, [this] {
        if (!ShowHelpContents(this)) {
            QMessageBox::critical(nullptr, QStringLiteral("Talvor"),
                                  QStringLiteral("WinHelp failed!"));
        }
    });
    Bind(CmAbout, [this] { AboutDialog(this).exec(); });
    Bind(CmPrint, [this] {
        const auto file = session_.dataDirectory.Resolve(kDisplayBitmapName);
        PrintDisplayBitmap(*printer_, QString::fromStdString(file.string()), this);
    });
    Bind(CmPrintSetup, [this] { SetUpPrinter(*printer_, this); });
    Bind(CmExit, [this] { close(); });
}

void TalvorFrame::BindViewCommands() {
    const auto withScrolling = [this](bool (*toggle)(Session&)) {
        return [this, toggle] {
            if (toggle(session_)) {
                client_->SetUpScrolling();
            }
        };
    };
    Bind(CmFitToWindow, withScrolling(&ToggleFitToWindow));
    Bind(CmZenkaGeometry, withScrolling(&ToggleZenkaGeometry));
    Bind(CmFalseColour, withScrolling(&ToggleFalseColour));
    Bind(CmAutoContrast, withScrolling(&ToggleAutoContrast));
    Bind(CmMaxStretchAllImages, [this] { UseMaxStretchOnAllImages(session_); });
    Bind(CmMaxStretchFocusOnly, [this] { UseMaxStretchOnFocusImagesOnly(session_); });
    Bind(CmMaxPaletteStretch, [this] { TMaxDialog(session_, this).exec(); });
    Bind(CmMirrorImage, [this] { MirrorImage(session_); });
}

void TalvorFrame::BindFileCommands() {
    Bind(CmOpen, [this] { files_->Open(); });
    Bind(CmSave, [this] { files_->Save(); });
    Bind(CmSaveAsTiff, [this] { files_->SaveAsTiff(); });
    Bind(CmSaveAsFits, [this] { files_->SaveAsFits(); });
    Bind(CmCopy, [this] { files_->Copy(); });
    Bind(CmDeleteFile, [this] { DeleteFileCommand(session_, this); });
    Bind(CmAutoSaveFitsText, [this] { EditAutoSaveFitsText(session_, this); });
    Bind(CmCurrentFitsDetails, [this] { EditCurrentFitsDetails(session_, this); });
    Bind(CmProgramDefaults, [this] { RunProgramDefaults(session_, *this); });
    Bind(CmTelescopeControl, [this] { ShowTelescopeControl(session_, this); });
}

void TalvorFrame::ConnectClickHooks() {
    ClickHooks& hooks = session_.modes.Hooks;
    Session& session = session_;
    hooks.MergeClick = [&session](int x, int y) { MergeClick(session, x, y); };
    hooks.MergeCentreOnStar = [&session] { return session.calibration.Merge.CentreOnStar; };
}

}  // namespace talvor
