#include "measurement/ui/measurement_commands.h"

#include <QWidget>

#include <QAbstractScrollArea>

#include "core/command_ids.h"
#include "core/session.h"
#include "measurement/analysis_commands.h"
#include "measurement/photometry.h"
#include "measurement/ui/histogram_window.h"
#include "measurement/ui/photometry_window.h"
#include "measurement/ui/plot3d_window.h"
#include "measurement/ui/row_profile_window.h"
#include "ui/command_host.h"

namespace talvor {
namespace {

void ShowModeless(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

}  // namespace

void BindMeasurementCommands(CommandHost& frame, Session& session) {
    QWidget* const parent = frame.DialogParent();
    QWidget* const picture = frame.Picture();
    // Photometry reads the pixel under the pointer as it moves, with no button held.
    picture->setMouseTracking(true);
    frame.Bind(CmPhotometry, [&session, parent, picture] {
        if (StartPhotometry(session) == PhotometryStart::Started) {
            ShowModeless(new TPHDialog(session, picture, parent));
        }
    });
    frame.Bind(CmHistogram, [&session, parent] {
        if (BeginHistogram(session) == AnalysisOpen::Open) {
            ShowModeless(new THistDialog(session, parent));
        }
    });
    frame.Bind(CmIntensityPlot3D, [&session, parent] {
        if (BeginIntensityPlot(session) == AnalysisOpen::Open) {
            ShowModeless(new T3DDialog(session, parent));
        }
    });
    frame.Bind(CmRowIntensityPlot, [&session, parent, picture] {
        if (BeginRowPlot(session) == AnalysisOpen::Open) {
            ShowModeless(new TRowDialog(session, picture, parent));
        }
    });
}

}  // namespace talvor
