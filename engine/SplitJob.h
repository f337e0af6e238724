#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Job.h"
#include "engine/SplitOutcome.h"
#include "engine/SplitRequest.h"

// The split of one request: checks it (the questions to the media are the job's, where a stop
// reaches them), then writes the pieces, the rejoin script and the checksum file; each piece's
// data is on the medium before the piece after the next is begun, and everything, names and
// sizes included, before run() returns a completion. Nothing is created before the source is open;
// a stop or an IoError removes every file the job created, and a SplitFailure propagates saying so.
class SplitJob final : public Job {
public:
    explicit SplitJob(SplitRequest request);

    // Its steps: after each piece is created and after each block of up to 1 MiB.
    SplitOutcome run();

private:
    class Run;

    const SplitRequest m_request;
};
