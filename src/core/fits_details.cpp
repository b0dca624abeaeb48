#include "core/fits_details.h"

namespace talvor {

void ResetFitsDetails(FitsDetails& details) {
    details.date.clear();
    details.time.clear();
    details.object.clear();
    details.observer.clear();
    details.telescope.clear();
    details.instrument = kDefaultInstrument;
    details.comment.clear();
    details.history.clear();
    details.filter = kDefaultFilter;
    details.focalLengthInches = 0.0;
    details.apertureSquareInches = 0.0;
    details.exposureSeconds = 0.0;
}

void CopyStoredFitsTexts(const FitsDetails& from, FitsDetails& to) {
    to.object = from.object;
    to.telescope = from.telescope;
    to.instrument = from.instrument;
    to.observer = from.observer;
    to.origin = from.origin;
    to.history = from.history;
    to.comment = from.comment;
    to.filter = from.filter;
    to.apertureSquareInches = from.apertureSquareInches;
    to.focalLengthInches = from.focalLengthInches;
}

}  // namespace talvor
