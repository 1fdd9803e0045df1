// Moves values between a dialog's controls and its members, in one direction at a time:
// from the members into the controls, or (saving) from the controls into the members.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace fw {

// The text of a control, at most `maxLength` characters.
std::string ControlText(HWND control, int maxLength);

class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}

    bool Saving() const { return saving_; }
    HWND Dialog() const { return dialog_; }

    // A check box and an int that is 0 or 1.
    void Check(int id, int32_t& value);
    // An edit field and a text limited to `maxLength` characters; the limit is also put on
    // the field, so it refuses longer input.
    void Text(int id, std::string& value, int maxLength);

private:
    HWND dialog_;
    bool saving_;
};

}  // namespace fw
