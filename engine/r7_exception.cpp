#include "engine/r7_exception.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

R7ErrorState theR7ErrorState{};

namespace {

void CopyText(char* dst, size_t size, const char* src) {
    std::snprintf(dst, size, "%s", src ? src : "");
}

[[noreturn]] void ThrowLast() { throw theR7ErrorState.record; }

void Fill(const char* text, const char* path, int line, int errorCode, int localCode) {
    R7Exception& r = theR7ErrorState.record;
    CopyText(theR7ErrorState.assertText, sizeof theR7ErrorState.assertText, text);
    r.line = static_cast<int16_t>(line);
    r.errorCode = static_cast<int16_t>(errorCode);
    r.localCode = static_cast<int16_t>(localCode);
    FileFromPath(path, r.file);
}

}  // namespace

void FileFromPath(const char* path, char (&file)[28]) {
    std::memset(file, 0, sizeof file);
    if (path == nullptr) return;
    const size_t len = std::strlen(path);
    if (len <= 27) {
        std::memcpy(file, path, len);
        return;
    }
    const char* tail = path + len - 26;
    const char* slash = std::strchr(tail, '\\');
    if (slash != nullptr) std::memcpy(file, slash, std::strlen(slash));
}

void raiseError(int errorCode, int localCode) {
    R7Exception& r = theR7ErrorState.record;
    r.errorCode = static_cast<int16_t>(errorCode);
    r.localCode = static_cast<int16_t>(localCode);
    r.catchCount = 0;
    r.gameID = 0;
    r.line = 0;
    r.file[0] = '\0';
    theR7ErrorState.assertText[0] = '\0';
    theR7ErrorState.infoText[0] = '\0';
    ThrowLast();
}

void raiseIfFalse(bool condition, const char* text, const char* path, int line, int errorCode, int localCode) {
    if (condition) return;
    Fill(text, path, line, errorCode, localCode);
    ThrowLast();
}

void raiseHeapCheck(const char* path, int line) {
    Fill("*** heap check ***", path, line, kR7HeapCheck, 0);
    ThrowLast();
}

void raiseNewFailed() {
    Fill("*** new ***", "unknown", 0, kR7NewFailed, 0);
    ThrowLast();
}

void report(const R7Exception& e) {
    const R7ErrorState& s = theR7ErrorState;
    // The text fields are fixed-size and need not end in a terminator: print each only
    // as far as its own field.
    auto field = [](const char* text, size_t size) { return static_cast<int>(std::find(text, text + size, '\0') - text); };
    std::printf("assert in : (%.*s) \n", field(s.assertText, sizeof s.assertText), s.assertText);
    std::printf("file      : %.*s, line# %d \n", field(e.file, sizeof e.file), e.file, e.line);
    std::printf("error code: %d / %d, \n", e.errorCode, e.localCode);
    std::printf("gameID    : %d \n", e.gameID);
    std::printf("info      : <%.*s>\n", field(s.infoText, sizeof s.infoText), s.infoText);
    if (e.catchCount > 0) {
        std::printf("Catches: \n");
        const int n = e.catchCount < kR7MaxCatches ? e.catchCount : kR7MaxCatches;
        for (int i = 0; i < n; ++i) {
            const R7CatchRecord& c = s.catches[i];
            std::printf("file      : %.*s, line: %d, local code: %d\n", field(c.file, sizeof c.file), c.file, c.line,
                        c.localCode);
        }
    }
    std::fflush(stdout);
    std::exit(3);
}
