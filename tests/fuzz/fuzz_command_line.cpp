// Any command line: arguments split at zero bytes (empty input: not even the program), each in an
// allocation of its size. Only a preview with a second argument has a parent, as strtoll reads it.
#include <cerrno>
#include <string>

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
    char* end = nullptr;
    errno = 0;
    const long long value = decision.mode == RunMode::Preview && argc >= 3 ? std::strtoll(argv[2], &end, 10) : 0;
    FUZZ_CHECK(decision.hasParent == (end != nullptr && end != argv[2]));
    FUZZ_CHECK(!decision.hasParent || errno != 0 || decision.parentHandle == static_cast<uintptr_t>(value));
    FUZZ_CHECK(decision.hasParent || decision.parentHandle == 0);
    return 0;
}
