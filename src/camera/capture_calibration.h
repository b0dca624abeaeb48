#pragma once

namespace talvor {

struct Session;

// The dark frame subtracted after each exposure of a run, read once per run from the chosen
// dark file into the undo store, which holds it for the run.
void SubtractDarkAtCapture(Session& session);

// The flat field applied after each exposure of a run, read once per run into the flat store.
void ApplyFlatAtCapture(Session& session);

}  // namespace talvor
