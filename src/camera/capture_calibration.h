#pragma once

namespace talvor {

struct Session;

// The dark frame subtracted after each exposure of a run, read once per run from the chosen
// dark file into the undo store, which holds it for the run. True when the frame was
// corrected; false (after the file's message) when the file could not be used.
bool SubtractDarkAtCapture(Session& session);

// The flat field applied after each exposure of a run, read once per run into the flat store.
// True when the frame was corrected.
bool ApplyFlatAtCapture(Session& session);

}  // namespace talvor
