#pragma once

#include <string>
#include <tuple>

#include "platform/IoError.h"

// What a failure says, as the tests below the faces compare it: the operation, the path and the
// system's error number.
using IoFailure = std::tuple<IoError::Operation, std::string, int>;

inline IoFailure ioFailureOf(const IoError& failure) {
    return {failure.operation(), failure.path(), failure.errorNumber()};
}
