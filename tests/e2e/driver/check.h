// Failing a case: every check throws, the runner catches, prints the reason and
// cleans up (the saver process ends with its handle's owner).
#pragma once

#include <stdexcept>
#include <string>

struct CaseFailure : std::runtime_error {
    explicit CaseFailure(const std::string& what) : std::runtime_error(what) {}
};

// Throws CaseFailure; the first time, it first runs the failure hook (the runner saves
// the screen there, while the saver is still showing what went wrong).
[[noreturn]] void Fail(const std::string& message);
void SetFailureHook(void (*hook)());

inline void Expect(bool condition, const std::string& message) {
    if (!condition) Fail(message);
}

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// A UTF-8 rendering of a wide string, for messages.
std::string Narrow(const std::wstring& text);
