#include "telescope/guiding_commands.h"

#include <QAbstractScrollArea>
#include <QObject>

#include "app/command_ids.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "app/talvor_window.h"
#include "telescope/auto_guiding.h"
#include "telescope/drive_training.h"
#include "telescope/focus_frame_centre.h"
#include "telescope/guide_star_pick.h"
#include "telescope/guiding_info_window.h"
#include "telescope/self_guiding.h"

namespace talvor {
namespace {

// What the guiding commands keep for the frame's lifetime: the windows they report to and the
// context they run in. The frame owns it.
class GuidingCommands final : public QObject {
  public:
    GuidingCommands(TalvorFrame& frame, Session& session)
        : QObject(&frame),
          window_(&frame, frame.Client()->viewport()),
          context_{session, window_, frame.GuidingHooks()} {
        setObjectName(QStringLiteral("guidingCommands"));
    }

    GuidingContext& Context() { return context_; }

  private:
    GuidingInfoWindow window_;
    GuidingContext context_;
};

void ShowArrowCursor(TalvorFrame& frame) {
    frame.Client()->viewport()->setCursor(Qt::ArrowCursor);
}

}  // namespace

void BindGuidingCommands(TalvorFrame& frame, Session& session) {
    auto* commands = new GuidingCommands(frame, session);
    GuidingContext& context = commands->Context();

    frame.Bind(CmPickGuideStar, [&frame, &session] {
        if (PickGuideStar(session)) {
            ShowArrowCursor(frame);
        }
        frame.Client()->viewport()->update();
    });
    frame.Bind(CmFocusFrameCentre, [&frame, &session] {
        FocusFrameCentre(session);
        ShowArrowCursor(frame);
    });
    frame.Bind(CmDefaultFocusFrameCentre, [&session] { DefaultFocusFrameCentre(session); });
    frame.Bind(CmStartAutoGuiding, [&context] { StartAutoGuiding(context); });
    frame.Bind(CmTrainAutoGuiding, [&context] { TrainAutoGuiding(context); });

    frame.GuidingHooks() = MakeSelfGuidingHooks(context);

    ClickHooks& clicks = session.modes.Hooks;
    clicks.PickClick = [&frame, &session](int, int, int snapPasses) {
        PickGuideStarClick(session, snapPasses);
        frame.Client()->viewport()->update();
    };
    clicks.FocusCentreClick = [&session](int x, int y) { FocusFrameCentreClick(session, x, y); };
}

}  // namespace talvor
