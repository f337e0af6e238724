#include "platform/DataCopier.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "support/TempFolder.h"

// Within one file system the kernel copies; from /tmp to the tmpfs of /dev/shm, where it
// cannot, the buffer takes over. Either way the bytes arrive in order, and a copy asked for
// more than the source holds stops at its end.
TEST(DataCopier, CopiesWithinAndAcrossFileSystems) {
    TempFolder folder;
    const std::int64_t size = 3 * (1 << 20) + 5;
    writePatternFile(folder.file("source"), size);
    for (const std::string& destinationPrefix : {folder.file("copy"), std::string("/dev/shm/oc")}) {
        SCOPED_TRACE(destinationPrefix);
        File source = File::openRegular(folder.file("source"), File::Links::Follow);
        File destination = File::createNew(destinationPrefix + std::to_string(::getpid()), 0600);
        DataCopier copier;
        EXPECT_EQ(copier.copy(source, destination, size - 5), size - 5);
        EXPECT_EQ(copier.copy(source, destination, 100), 5);
        EXPECT_EQ(copier.copy(source, destination, 100), 0);
        EXPECT_TRUE(readFile(destination.path()) == readFile(folder.file("source")));
        ::unlink(destination.path().c_str());
    }
}
