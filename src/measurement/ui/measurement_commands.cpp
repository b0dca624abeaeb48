#include "telescope/measurement_commands.h"

#include <QAbstractScrollArea>

#include "app/command_ids.h"
#include "app/session.h"
#include "app/talvor_frame.h"
#include "app/talvor_window.h"
#include "processing/analysis_commands.h"
#include "processing/hist_dialog.h"
#include "processing/plot3d_dialog.h"
#include "processing/row_dialog.h"
#include "telescope/ph_dialog.h"
#include "telescope/photometry.h"

namespace talvor {
namespace {

void ShowModeless(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

}  // namespace

void BindMeasurementCommands(TalvorFrame& frame, Session& session) {
    TalvorFrame* const parent = &frame;
    // Photometry reads the pixel under the pointer as it moves, with no button held.
    frame.Client()->viewport()->setMouseTracking(true);
    frame.Bind(CmPhotometry, [&session, parent] {
        if (StartPhotometry(session) == PhotometryStart::Started) {
            ShowModeless(new TPHDialog(session, parent->Client()->viewport(), parent));
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
    frame.Bind(CmRowIntensityPlot, [&session, parent] {
        if (BeginRowPlot(session) == AnalysisOpen::Open) {
            ShowModeless(new TRowDialog(session, parent->Client()->viewport(), parent));
        }
    });
}

}  // namespace talvor
