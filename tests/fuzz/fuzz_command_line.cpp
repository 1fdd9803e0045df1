// Command lines as anything may start the program with. Input: the argument vector, its
// arguments separated by zero bytes (the first is the program itself); empty input is a
// vector without even the program. Each argument lives in an allocation of its exact
// size, so reading past its end is caught.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz_check.h"

namespace {

// The mode table, told another way.
RunMode ExpectedMode(const std::vector<std::string>& args) {
    if (args.size() < 2) return RunMode::Configure;
    std::string first = args[1];
    if (!first.empty() && (first[0] == '-' || first[0] == '/')) first.erase(0, 1);
    if (!first.empty() && first[0] == 'c') return RunMode::Configure;
    if (first == "p" || first == "P") return RunMode::Preview;
    if (first == "s" || first == "S") return RunMode::FullScreen;
    return RunMode::None;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    if (size > 0) {
        const std::string input(reinterpret_cast<const char*>(data), size);
        size_t at = 0;
        for (;;) {
            const size_t end = input.find('\0', at);
            args.push_back(input.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos) break;
            at = end + 1;
        }
    }
    std::vector<std::unique_ptr<char[]>> storage;
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        storage.emplace_back(new char[a.size() + 1]);
        std::memcpy(storage.back().get(), a.c_str(), a.size() + 1);
        argv.push_back(storage.back().get());
    }
    argv.push_back(nullptr);  // argv[argc], as the runtime leaves it

    const RunModeDecision decision = DecideRunMode(static_cast<int>(args.size()), argv.data());
    FUZZ_CHECK(decision.mode == ExpectedMode(args));
    if (decision.mode != RunMode::Preview || args.size() < 3) {
        FUZZ_CHECK(!decision.hasParent && decision.parentHandle == 0);
        return 0;
    }

    // The handle as strtoll reads decimal text, where it does not saturate.
    const char* text = argv[2];
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    FUZZ_CHECK(decision.hasParent == (end != text));
    if (decision.hasParent && errno == 0)
        FUZZ_CHECK(decision.parentHandle == static_cast<uintptr_t>(static_cast<unsigned long long>(value)));
    return 0;
}
