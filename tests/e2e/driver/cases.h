// Case registration: each case is a function that throws CaseFailure when the saver
// does not behave; the runner gives every case a clean registry and store first.
#pragma once

#include <string>
#include <vector>

using CaseFunction = void (*)();

struct Case {
    std::string name;  // "group.case"
    CaseFunction run;
};

std::vector<Case>& AllCases();

struct CaseRegistrar {
    CaseRegistrar(const char* name, CaseFunction run) { AllCases().push_back(Case{name, run}); }
};

#define E2E_CASE(group, name)                                              \
    static void group##_##name();                                          \
    static const CaseRegistrar group##_##name##_registrar(#group "." #name, \
                                                          group##_##name); \
    static void group##_##name()
