// Off Windows (the tools and the native tests) a report is a line on
// standard error; a retry box can never be answered, so it ends the process
// as Cancel does.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "shell/report.h"

namespace {

void printReport(const char* kind, const char* format, va_list args)
{
    char text[1024];
    vsnprintf(text, sizeof text, format, args);
    fprintf(stderr, "%s: %s\n", kind, text);
}

}  // namespace

void reportRetryError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printReport("error", format, args);
    va_end(args);
    exit(-1);
}

void reportError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printReport("error", format, args);
    va_end(args);
}

void reportInfo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printReport("info", format, args);
    va_end(args);
}

void* allocOrReport(size_t size)
{
    void* block = malloc(size);
    if (!block)
        fputs("error: out of memory\n", stderr);
    return block;
}
