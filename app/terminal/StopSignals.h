#pragma once

// Ctrl+C, a kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) all ask the running job to stop,
// so that it removes what it wrote, and make waiting system calls give up
// (platform/Interruption.h); SIGPIPE and SIGXFSZ are ignored, so that a reader that went away
// or the file size limit does not end a job half way without a word.
namespace stop_signals {

void catchStopSignals();
// Once the job has returned there is nothing left to remove: a signal may end the program.
void restoreDefaultSignals();
// The signal that asked the job to stop, 0 while none has.
int stopSignal();

} // namespace stop_signals
