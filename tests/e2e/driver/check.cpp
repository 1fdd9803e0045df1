#include "check.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
void (*failureHook)() = nullptr;
}  // namespace

void SetFailureHook(void (*hook)()) { failureHook = hook; }

void Fail(const std::string& message) {
    // Once only: the hook itself may fail.
    if (auto hook = failureHook) {
        failureHook = nullptr;
        try {
            hook();
        } catch (const CaseFailure&) {
        }
    }
    throw CaseFailure(message);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    return text;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}
