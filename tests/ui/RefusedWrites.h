#pragma once

#include <csignal>

#include <sys/resource.h>

// While it lives, writing more than a byte to any file fails with EFBIG, for root as well: a
// file size limit, with the signal that limit raises ignored.
class RefusedWrites {
public:
    RefusedWrites();
    ~RefusedWrites();
    RefusedWrites(const RefusedWrites&) = delete;
    RefusedWrites& operator=(const RefusedWrites&) = delete;

private:
    rlimit m_previousLimit{};
    void (*m_previousHandler)(int) = nullptr;
};
