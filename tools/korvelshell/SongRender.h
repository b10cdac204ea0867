// Rendering a standard MIDI file offline: the song's messages go to the synthesizer between the renderer's pulls,
// each at its own frame, at the tempo the file gives.
//
// Thread contract: one thread, the one that drives the synthesizer and the renderer.
#pragma once

#include "tools/korvelshell/OfflineRender.h"

#include <string>

namespace korvelshell {

// Plays the file at path through the synthesizer into render: note, controller, program, pitch bend, pressure and
// system-exclusive messages at the frame their tick falls on (the note-offs of a frame before its other messages,
// as the host orders them), then the tail until the output has stayed quiet
// (at most MAX_TAIL_SECONDS). A file the host application would refuse is refused here too. False, with the
// reason in error, when the file cannot be read or the audio cannot be written.
bool renderSong(korvel_synth_t* synth, OfflineRender& render, const std::string& path, std::string& error);

constexpr double MAX_TAIL_SECONDS = 30.0;

} // namespace korvelshell
