#pragma once
// The thread tags that head the comment of every host-facing and editor-facing entry. They say
// which thread calls the function and which lock it runs under; each entry states its tag again
// at its top with a macro of ThreadRole.h, which checks it in the test builds.
//
//   [main-thread]   the host's user-interface thread: dispatcher opcodes, editor messages and
//                   the editor's frame timer. Some hosts use another non-audio thread here;
//                   it is never the audio thread at the same moment, because the binding takes
//                   the instance lock around every host entry.
//   [audio-thread]  the host's processing thread: the process entries and what they call.
//                   No allocation, no file or console I/O, no lock but the instance lock, no
//                   painting; storage is reserved beforehand on the main thread.
//   [any-thread]    may come from either thread at the same time as the other; safe on its
//                   own (whole-word atomic loads and stores, or a lock of its own).
//
// What follows a tag in parentheses qualifies it:
//   (locked)        the caller holds the instance lock (the recursive lock of the plug-in
//                   base); the function may rely on it and must not wait for the other thread.
//   (takes lock)    the function takes the instance lock itself.
//   (some hosts: audio-thread)
//                   normally the main thread, but hosts are known to call it from their
//                   audio thread too; the instance lock makes that safe.
//
// The process-wide locks are named where they are used: instance creation (VstEntry.cpp) and
// the bitmap cache of the graphics context.
