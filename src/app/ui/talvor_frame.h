#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "camera/self_guiding_hooks.h"
#include "ui/command_host.h"

class QAction;
class QPrinter;
class QToolBar;

namespace talvor {

struct Session;
class FileMenuCommands;
class TTalvorWindow;

inline constexpr const char* kFrameBanner = "Drevik Zenka USB Camera Software";

// The main frame: menu bar, tool bar and status bar around the client window. Every menu item,
// accelerator and tool-bar button arrives here and goes to the routine bound to its command;
// a command that nothing carries out stays grey.
class TalvorFrame : public QMainWindow, public CommandHost {
    Q_OBJECT

  public:
    explicit TalvorFrame(Session& session, QWidget* parent = nullptr);
    ~TalvorFrame() override;

    TTalvorWindow* Client() const { return client_; }
    QToolBar* ToolBar() const { return toolBar_; }

    void Bind(int id, std::function<void()> handler) override;
    QWidget* DialogParent() override { return this; }
    QWidget* Picture() override;
    bool IsBound(int id) const { return handlers_.count(id) != 0; }
    // Carries out the command when it is enabled.
    void Dispatch(int id);
    // Greys and checks the menu items and tool-bar buttons by the current state.
    void UpdateCommandStates();
    // Lays out the tool bar again; the telescope button follows the telescope setting.
    void RebuildToolBar() override;

    // The menu item of a command (the tool bar has its own actions).
    QAction* MenuAction(int id) const;
    // Every accelerator action of a command.
    std::vector<QAction*> AcceleratorActions(int id) const;

    // How a self-guided exposure reaches the guiding routines; filled by the guiding commands.
    SelfGuidingHooks& GuidingHooks() { return guidingHooks_; }

  private:
    void BuildMenuBar();
    void BuildAccelerators();
    void BindShellCommands();
    void BindViewCommands();
    void BindFileCommands();
    // Clicks on the picture reach the modes that other parts of the program carry out.
    void ConnectClickHooks();
    void ApplyState(int id, QAction* action);

    Session& session_;
    TTalvorWindow* client_;
    QToolBar* toolBar_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<FileMenuCommands> files_;
    SelfGuidingHooks guidingHooks_;
    std::map<int, std::function<void()>> handlers_;
    std::map<int, QAction*> menuActions_;
    std::vector<std::pair<int, QAction*>> toolActions_;
    std::vector<std::pair<int, QAction*>> acceleratorActions_;
};

}  // namespace talvor
