#include "native/support/temp_file.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

TempFile::TempFile(const std::string& bytes) : TempFile(bytes.data(), bytes.size()) {}

TempFile::TempFile(const void* bytes, size_t size)
{
    const char* dir = getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/uninst_test_XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        perror("mkstemp");
        abort();
    }
    const char* p = (const char*)bytes;
    while (size > 0) {
        ssize_t written = write(fd, p, size);
        if (written <= 0) {
            perror("write");
            abort();
        }
        p += written;
        size -= (size_t)written;
    }
    close(fd);
    path_ = pattern;
}

TempFile::~TempFile()
{
    unlink(path_.c_str());
}

int openDescriptors()
{
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++n;
        closedir(dir);
    }
    return n;
}
