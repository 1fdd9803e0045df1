// The profile bound to the registry: HKEY_CURRENT_USER\<home>\<section>\<name>. Each call
// opens the key path (a write creates it when missing), reads or writes one value, closes again.
#pragma once

#include <string>

#include "presets/profile.h"

namespace fw {

class RegistryProfile : public Profile {
public:
    explicit RegistryProfile(std::string home) : home_(std::move(home)) {}

    std::string ReadText(const char* section, const char* name) override;
    uint32_t ReadNumber(const char* section, const char* name, uint32_t fallback) override;
    bool WriteText(const char* section, const char* name, const std::string& text) override;
    bool WriteNumber(const char* section, const char* name, uint32_t value) override;

private:
    std::string home_;
};

}  // namespace fw
