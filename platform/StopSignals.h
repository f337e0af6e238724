#pragma once

#include <string>

// Every signal handler of the Orvanto programs. Ctrl+C, a kill and a closed terminal (SIGINT,
// SIGTERM, SIGHUP):
// The first asks the running job to stop, so that it removes what it wrote: waiting system calls
// give up (platform/Interruption.h), the wake-up descriptor becomes readable, and the
// announcement, if any, goes to standard error. A second, or a first that has not ended the
// program within kGraceSeconds, ends it at once with the signal's default action, after saying
// on standard error which files may be left; unless a watcher gives up itself (watchGiveUp):
// then it has kRemovalSeconds to remove what the job wrote and to end the program (endNow)
// before the time's end ends it at once all the same. SIGPIPE and SIGXFSZ are ignored,
// so that a reader that went away or the file size limit fails a write that is reported, and stay
// ignored. One instance at a time; the stop signals' handlers in place before it come back when it
// goes.
class StopSignals {
public:
    static constexpr unsigned int kGraceSeconds = 3;
    static constexpr unsigned int kRemovalSeconds = 3;

    // announcement: what the first signal writes to standard error, such as
    // "orvanto-split: stopping...\n"; empty for none.
    explicit StopSignals(std::string announcement = {});
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first stop signal since this instance was made, 0 while none has come.
    static int stopSignal() noexcept;
    // The real-time signal that a job's runner sends its thread to end the system call it waits
    // in (platform/Interruption.h); its handler, which does nothing, is installed at the first
    // call and stays. Needs no instance.
    static int jobInterruptSignal();
    // Readable from the first stop signal on.
    int wakeUpDescriptor() const { return m_wakeUp[0]; }
    // What an end at once would leave behind, written out as it ends; empty for nothing.
    static void setLeftoverNote(const std::string& note);

    // From now on the end at once waits for this instance's owner: the give-up descriptor turns
    // readable, and the owner removes what it can and calls endNow().
    void watchGiveUp();
    // Once the job has ended: the end at once no longer waits for the owner.
    void unwatchGiveUp();
    int giveUpDescriptor() const { return m_giveUp[0]; }
    // Writes the leftover note and ends the program with the first stop signal's default action.
    [[noreturn]] static void endNow();

private:
    int m_wakeUp[2] = {-1, -1};
    int m_giveUp[2] = {-1, -1};
};
