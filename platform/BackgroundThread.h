#pragma once

// Threads that do work beside the one a person waits on.
namespace background_thread {

// Lowers the calling thread's scheduling priority a little (its nice value, which Linux keeps per
// thread), so that the window's thread and the thread that moves the data are served first
// whenever the cores are busy.
void yieldToForeground() noexcept;

} // namespace background_thread
