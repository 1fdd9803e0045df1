// Command lines as anything may start the program with. Input: the argument vector, its
// arguments separated by zero bytes (the first is the program itself); empty input is a
// vector without even the program. Each argument lives in an allocation of its exact
// size, so reading past its end is caught.
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::unique_ptr<char[]>> storage;
    std::vector<const char*> argv;
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0, end = 0; size > 0 && end != std::string::npos; at = end + 1) {
        end = input.find('\0', at);
        const std::string arg = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
        storage.emplace_back(new char[arg.size() + 1]);
        argv.push_back(static_cast<const char*>(std::memcpy(storage.back().get(), arg.c_str(), arg.size() + 1)));
    }
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);  // argv[argc], as the runtime leaves it
    const RunModeDecision decision = DecideRunMode(argc, argv.data());
    if (decision.mode != RunMode::Preview || argc < 3) {
        FUZZ_CHECK(!decision.hasParent && decision.parentHandle == 0);
        return 0;
    }
    // The handle as strtoll reads decimal text, where it does not saturate.
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(argv[2], &end, 10);
    FUZZ_CHECK(decision.hasParent == (end != argv[2]));
    if (decision.hasParent && errno == 0)
        FUZZ_CHECK(decision.parentHandle == static_cast<uintptr_t>(static_cast<unsigned long long>(value)));
    return 0;
}
