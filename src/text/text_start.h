#pragma once

// Pango and fontconfig start lazily, at the first text laid out: after a run has allocated its big
// picture, when a limit on the address space (ulimit -v) may leave no room for fontconfig's
// thread, which GLib then aborts the process over. A run that will draw text starts them first,
// by this, while the room is there.
//
// Starts them once per process: lays out a text in room reserved for it, checks that a font was
// found, and keeps that room (address space, no memory) from the run's big arrays, since Pango
// starts more threads later (fontconfig's sorting of fonts), whose stacks need it (text_room.h).
// Throws std::bad_alloc when there is not room, and std::runtime_error, one line, when no font
// loads.
// From then on, the warnings that Pango and GLib would print on the terminal (fonts that do not
// load for want of memory) are kept from it: a text that cannot be laid out is refused by the
// caller's own checks instead.
void StartText();
