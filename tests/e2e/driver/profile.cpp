#include "profile.h"

#include <cstdlib>
#include <string>

#include "check.h"
#include "registry.h"

Profile StillProfile() {
    Profile p;
    p.cbStep = 0.0f;
    p.csStep = 0.0f;
    p.switches = 1;
    return p;
}

void WriteProfile(const Profile& p) {
    auto text = [](float v) { return Format("%f", static_cast<double>(v)); };
    WriteText(L"angleX", text(p.angleX));
    WriteText(L"angleY", text(p.angleY));
    WriteText(L"angleZ", text(p.angleZ));
    WriteText(L"cbStep", text(p.cbStep));
    WriteText(L"csStep", text(p.csStep));
    WriteText(L"ambient", text(p.ambient));
    WriteText(L"mirror", text(p.mirror));
    WriteNumber(L"shape", static_cast<uint32_t>(p.shape));
    WriteNumber(L"size1", static_cast<uint32_t>(p.size1));
    WriteNumber(L"size2", static_cast<uint32_t>(p.size2));
    WriteNumber(L"bound", static_cast<uint32_t>(p.bound));
    WriteNumber(L"phong", static_cast<uint32_t>(p.phong));
    WriteNumber(L"randomly", static_cast<uint32_t>(p.randomly));
    WriteNumber(L"switches", p.switches);
    for (int i = 0; i < kSlots; ++i) WriteNumber((L"color" + std::to_wstring(i)).c_str(), p.color[i]);
}

float ThroughText(float value) {
    return std::strtof(Format("%f", static_cast<double>(value)).c_str(), nullptr);
}
