// data_file.cpp: opening a data file only when it is a regular file.
#include "runtime/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE *open_data_file(const char *path, const char *mode)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer before the check below could refuse it.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status;
    bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    int flags = regular ? fcntl(fd, F_GETFL) : -1;
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE *file = fdopen(fd, mode);
    if (file == nullptr)
        close(fd);
    return file;
}
