#include "platform/IoError.h"

#include <utility>

IoError::IoError(Operation operation, std::string path, int errorNumber)
    : m_operation(operation), m_path(std::move(path)), m_errorNumber(errorNumber) {}

IoError::IoError(Operation operation, std::string path, Fault fault)
    : m_operation(operation), m_path(std::move(path)), m_fault(fault) {}

IoError::IoError(Operation operation, std::string otherPath, std::string path, int errorNumber)
    : m_operation(operation), m_path(std::move(path)), m_errorNumber(errorNumber),
      m_details(OtherFile{std::move(otherPath)}) {}

IoError IoError::shrankAfterChosen(std::string path, std::int64_t bytesRead,
                                   std::int64_t bytesExpected) {
    IoError failure(Operation::Read, std::move(path), Fault::ShrankAfterChosen);
    failure.m_details = Shrank{bytesRead, bytesExpected};
    return failure;
}

IoError IoError::atFileSizeLimit(std::string path, int errorNumber) {
    IoError failure(Operation::Write, std::move(path), errorNumber);
    failure.m_fault = Fault::FileSizeLimit;
    return failure;
}

IoError IoError::grewAfterChosen(std::string path, std::int64_t bytesExpected) {
    IoError failure(Operation::Read, std::move(path), Fault::GrewAfterChosen);
    failure.m_details = Grew{bytesExpected};
    return failure;
}
