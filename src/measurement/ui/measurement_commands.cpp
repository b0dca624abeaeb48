#include "measurement/ui/measurement_commands.h"

#include <QDialog>
#include <QWidget>
#include <memory>

#include "core/command_ids.h"
#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/photometry.h"
#include "measurement/ui/histogram_window.h"
#include "measurement/ui/photometry_window.h"
#include "measurement/ui/plot3d_window.h"
#include "measurement/ui/row_profile_window.h"
#include "measurement/ui/window_places.h"
#include "ui/command_host.h"

namespace talvor {

void BindMeasurementCommands(CommandHost& frame, Session& session) {
    QWidget* const parent = frame.DialogParent();
    QWidget* const picture = frame.Picture();
    // Photometry reads the pixel under the pointer as it moves, with no button held.
    picture->setMouseTracking(true);
    const auto places = std::make_shared<WindowPlaces>();
    const auto show = [places, picture, &session](QDialog* dialog) {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        places->Place(*dialog, *picture, session);
        dialog->show();
    };
    frame.Bind(CmPhotometry, [&session, parent, picture, show] {
        if (StartPhotometry(session) == PhotometryStart::Started) {
            show(new TPHDialog(session, picture, parent));
        }
    });
    frame.Bind(CmHistogram, [&session, parent, show] {
        if (BeginHistogram(session) == AnalysisOpen::Open) {
            show(new THistDialog(session, parent));
        }
    });
    frame.Bind(CmIntensityPlot3D, [&session, parent, show] {
        if (BeginIntensityPlot(session) == AnalysisOpen::Open) {
            show(new T3DDialog(session, parent));
        }
    });
    frame.Bind(CmRowIntensityPlot, [&session, parent, picture, show] {
        if (BeginRowPlot(session) == AnalysisOpen::Open) {
            show(new TRowDialog(session, picture, parent));
        }
    });
}

}  // namespace talvor
