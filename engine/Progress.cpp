#include "engine/Progress.h"

#include "engine/Job.h"

int progressPercent(std::int64_t done, std::int64_t total) {
    // 128 bits, so done * 100 cannot overflow whatever the sizes.
    __extension__ using Wide = unsigned __int128;
    const Wide scaled = static_cast<Wide>(done) * 100;
    const Wide whole = static_cast<Wide>(total);
    Wide percent = scaled / whole;
    const Wide twiceRest = 2 * (scaled % whole);
    if (twiceRest > whole || (twiceRest == whole && percent % 2 == 1))
        ++percent;
    return static_cast<int>(percent);
}

int percentOnMedium(const JobProgress& progress) {
    // Before its checks a job has no pieces and nothing done; a job of empty pieces is done.
    if (progress.totalBytes == 0)
        return progress.pieceCount > 0 ? 100 : 0;
    return progressPercent(progress.bytesOnMedium, progress.totalBytes);
}
