#include "guiding/ui/guiding_commands.h"

#include <QWidget>

#include <QAbstractScrollArea>
#include <QObject>

#include "core/command_ids.h"
#include "core/session.h"
#include "guiding/auto_guiding.h"
#include "guiding/drive_training.h"
#include "guiding/focus_frame_centre.h"
#include "guiding/guide_star_pick.h"
#include "guiding/self_guiding.h"
#include "guiding/ui/guiding_info_window.h"
#include "ui/command_host.h"

namespace talvor {
namespace {

// What the guiding commands keep for the frame's lifetime: the windows they report to and the
// context they run in. The frame owns it.
class GuidingCommands final : public QObject {
  public:
    GuidingCommands(CommandHost& frame, Session& session, SelfGuidingHooks& hooks)
        : QObject(frame.DialogParent()),
          window_(frame.DialogParent(), frame.Picture()),
          context_{session, window_, hooks} {
        setObjectName(QStringLiteral("guidingCommands"));
    }

    GuidingContext& Context() { return context_; }

  private:
    GuidingInfoWindow window_;
    GuidingContext context_;
};

void ShowArrowCursor(CommandHost& frame) {
    frame.Picture()->setCursor(Qt::ArrowCursor);
}

}  // namespace

void BindGuidingCommands(CommandHost& frame, Session& session, SelfGuidingHooks& hooks) {
    auto* commands = new GuidingCommands(frame, session, hooks);
    GuidingContext& context = commands->Context();

    frame.Bind(CmPickGuideStar, [&frame, &session] {
        if (PickGuideStar(session)) {
            ShowArrowCursor(frame);
        }
        frame.Picture()->update();
    });
    frame.Bind(CmFocusFrameCentre, [&frame, &session] {
        FocusFrameCentre(session);
        ShowArrowCursor(frame);
    });
    frame.Bind(CmDefaultFocusFrameCentre, [&session] { DefaultFocusFrameCentre(session); });
    frame.Bind(CmStartAutoGuiding, [&context] { StartAutoGuiding(context); });
    frame.Bind(CmTrainAutoGuiding, [&context] { TrainAutoGuiding(context); });

    hooks = MakeSelfGuidingHooks(context);

    ClickHooks& clicks = session.modes.Hooks;
    clicks.PickClick = [&frame, &session](int, int, int snapPasses) {
        PickGuideStarClick(session, snapPasses);
        frame.Picture()->update();
    };
    clicks.FocusCentreClick = [&session](int x, int y) { FocusFrameCentreClick(session, x, y); };
}

}  // namespace talvor
