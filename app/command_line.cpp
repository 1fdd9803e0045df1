#include "app/command_line.h"

namespace {
bool IsSingleLetter(const char* text, char lower) {
    return text[0] != '\0' && text[1] == '\0' && (text[0] == lower || text[0] == lower - 'a' + 'A');
}
}  // namespace

bool ParseWindowHandle(const char* text, uintptr_t& handle) {
    if (text == nullptr) return false;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    if (*text < '0' || *text > '9') return false;
    uintptr_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<uintptr_t>(*text - '0');
    handle = negative ? uintptr_t{0} - value : value;
    return true;
}

RunModeDecision DecideRunMode(int argc, const char* const* argv) {
    RunModeDecision decision;
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        decision.mode = RunMode::Configure;
        return decision;
    }
    const char* arg = argv[1];
    if (*arg == '-' || *arg == '/') ++arg;  // only one leading switch character
    if (*arg == 'c') {
        decision.mode = RunMode::Configure;
    } else if (IsSingleLetter(arg, 'p')) {
        decision.mode = RunMode::Preview;
        if (argc >= 3) decision.hasParent = ParseWindowHandle(argv[2], decision.parentHandle);
    } else if (IsSingleLetter(arg, 's')) {
        decision.mode = RunMode::FullScreen;
    }
    return decision;
}
