// A file in the temporary folder with the given bytes, removed again when
// the object goes, and the other helpers of the native tests and the fuzz
// targets.
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

// text, times over: the long files that install.env tests are made of.
inline std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}
