// The engine's one exception type, the last-error state filled in before each throw, and
// the report that prints it and ends the process.
#pragma once

#include <cstdint>

struct R7Exception {
    int32_t catchCount;
    int16_t errorCode;
    int16_t localCode;
    int16_t gameID;
    int16_t reserved0;
    int32_t reserved1;
    int32_t reserved2;
    int16_t reserved3;
    int16_t line;
    char file[28];
};
static_assert(sizeof(R7Exception) == 52, "R7Exception is a 52-byte record");

struct R7CatchRecord {
    char file[16];
    int16_t line;
    int16_t localCode;
};
static_assert(sizeof(R7CatchRecord) == 20, "a catch record is 20 bytes");

constexpr int kR7MaxCatches = 16;

struct R7ErrorState {
    R7Exception record;
    char assertText[120];
    char infoText[120];
    R7CatchRecord catches[kR7MaxCatches];
};

// The process's last-error state; all zero at start.
extern R7ErrorState theR7ErrorState;

enum R7ErrorCode : int16_t { kR7NewFailed = 1, kR7ContainerError = 2, kR7HeapCheck = 3 };

[[noreturn]] void raiseError(int errorCode, int localCode);
void raiseIfFalse(bool condition, const char* text, const char* path, int line, int errorCode, int localCode);
[[noreturn]] void raiseHeapCheck(const char* path, int line);
[[noreturn]] void raiseNewFailed();

// Prints the record and the last-error state to standard output, then exits with status 3.
[[noreturn]] void report(const R7Exception& e);

// The file field from a source path: at most 27 characters; a longer path keeps the part
// from the leftmost backslash among its last 26 characters, or nothing.
void FileFromPath(const char* path, char (&file)[28]);
