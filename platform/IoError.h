#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <variant>

// An input/output failure as a value: what was being done, to which file, and why: the system's
// error number, or a fault the system does not report. The faces word it (wording/); what() holds
// only the path.
class IoError : public std::exception {
public:
    enum class Operation {
        Open,
        Read,
        Write,
        Create,
        Close,
        Remove,
        Copy, // otherPath to path
        Lock,
        OpenFolder,
        ReadStatus,
        ReadLink,
        FollowLinks,
        ReadOwner,
        SetOwner,
        ReadPermissions,
        SetPermissions,
        ReadCurrentFolder,
        WriteReport, // to path, a stream such as "standard output"
        Start,       // a program
    };
    // Why, when the system gave no error number.
    enum class Fault {
        System,            // errorNumber says why
        SymbolicLink,      // a link where none may be
        NotPlainFile,      // a folder, a device or a pipe where a file was opened
        ReservedName,      // a name kept for files being written
        ShrankWhileCopied, // the file ended early while it was copied
        ShrankAfterChosen, // the file ended early (Shrank)
        GrewAfterChosen,   // the file held more than it had when chosen (Grew)
        // errorNumber came from the write that would take the file to 4 GiB, FAT's limit, on a
        // medium whose type does not tell it
        FileSizeLimit,
    };
    // What some kinds carry besides the operation, the path and the reason.
    struct OtherFile { // Rename and Copy: from path to the failure's path
        std::string path;
    };
    struct Shrank { // bytesRead of the bytesExpected it had when chosen
        std::int64_t bytesRead = 0;
        std::int64_t bytesExpected = 0;
    };
    struct Grew { // beyond the bytesExpected it had when chosen
        std::int64_t bytesExpected = 0;
    };
    using Details = std::variant<std::monostate, OtherFile, Shrank, Grew>;

    IoError(Operation operation, std::string path, int errorNumber);
    IoError(Operation operation, std::string path, Fault fault);
    // Operations on two files: Copy.
    IoError(Operation operation, std::string otherPath, std::string path, int errorNumber);
    static IoError shrankAfterChosen(std::string path, std::int64_t bytesRead,
                                     std::int64_t bytesExpected);
    static IoError grewAfterChosen(std::string path, std::int64_t bytesExpected);
    static IoError atFileSizeLimit(std::string path, int errorNumber);

    Operation operation() const { return m_operation; }
    const std::string& path() const { return m_path; }
    // The errno value behind the failure; 0 for a fault the system does not report.
    int errorNumber() const { return m_errorNumber; }
    Fault fault() const { return m_fault; }
    const Details& details() const { return m_details; }

    const char* what() const noexcept override { return m_path.c_str(); }

private:
    Operation m_operation;
    std::string m_path;
    int m_errorNumber = 0;
    Fault m_fault = Fault::System;
    Details m_details;
};
