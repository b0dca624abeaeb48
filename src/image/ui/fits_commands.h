#pragma once

class QWidget;

namespace talvor {

struct Session;

// "&Load/Edit AutoSave FITS text": the FITS texts of the settings file, edited in the FITS
// DETAILS dialog and written back to the file on Continue.
void EditAutoSaveFitsText(Session& session, QWidget* parent);

// "&Show/Edit Current Image FITS details": what is changed stays in memory for the next FITS
// save and is not written to the settings file.
void EditCurrentFitsDetails(Session& session, QWidget* parent);

// The dialog step of "S&ave as FITS file...": a missing date becomes today's, then the FITS
// DETAILS dialog. True on Continue, when the caller goes on to write the file.
bool PrepareSaveAsFits(Session& session, QWidget* parent);

}  // namespace talvor
