#pragma once

namespace qm {

// A test hook for two programs working on one database at once. When the environment variable
// QUILLMERE_PAUSE_AFTER_READ names a file, the first writing command of the process that reaches
// this point (it has read what it decides on, inside its write transaction, and has not written
// yet) creates that file and waits until it is removed again, for at most a minute. A test starts
// a second program during the pause and sees whether it waits for the first or works from what
// the first is about to change. Without the variable it does nothing.
void pauseAfterReading();

}  // namespace qm
