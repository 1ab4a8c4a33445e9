#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz targets as ordinary functions: the libFuzzer programs call them from
// LLVMFuzzerTestOneInput, the replay test calls them on every stored input. Each one
// returns 0 and calls fuzzFailure() (which aborts) when an invariant breaks.
int fuzzResponseReader(const uint8_t *data, size_t size);
int fuzzTemplateReader(const uint8_t *data, size_t size);
int fuzzTextImport(const uint8_t *data, size_t size);
int fuzzSettingsFile(const uint8_t *data, size_t size);
int fuzzTagReport(const uint8_t *data, size_t size);
int fuzzValueEcho(const uint8_t *data, size_t size);
int fuzzDumpReaders(const uint8_t *data, size_t size);
int fuzzCardRuns(const uint8_t *data, size_t size);

// Prints what broke and aborts, so that libFuzzer and the sanitizers keep the input.
[[noreturn]] void fuzzFailure(const char *what, const char *file, int line);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition, __FILE__, __LINE__);                                           \
    } while (false)

// One application object for the whole process (models and files need it).
void fuzzEnsureApplication();
