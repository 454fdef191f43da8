// A file in the temporary folder with the given bytes, removed again when
// the object goes. Shared by the native tests and the fuzz targets.
#pragma once
#include <stddef.h>

#include <string>

class TempFile {
public:
    explicit TempFile(const std::string& bytes);
    TempFile(const void* bytes, size_t size);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// How many files the process holds open: a reader must close what it opens.
int openDescriptors();
