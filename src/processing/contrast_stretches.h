#pragma once

namespace talvor {

struct Session;

// The Contrast menu's steps on the current image. Each fills the stretch table, applies it
// (undo copy, progress window, display refresh) and appends its processing-history line. The
// desktop program calls them after their dialogs; the batch tool calls them directly.

// Black level 0..255 and white level 1..300 in 8-bit units; nothing happens unless white is
// above black.
void NormalStretch(Session& session, int black, int white);
// Nothing happens for a power of exactly 1.0.
void PowerLawStretch(Session& session, double power);
void SineLawStretch(Session& session);
// Uses the background level of the picture last shown; a level of 2 or less does nothing.
void RemoveBackground(Session& session);
// Power 2..50.
void NonLinearStretch(Session& session, int power);
void LogarithmicStretch(Session& session);
void AntilogarithmicStretch(Session& session);
void InvertToNegative(Session& session);

}  // namespace talvor
