// The low button between a speed's "+" and "-": dragging on it up or down reports the
// vertical movement to a listener, one report per mouse move.
#pragma once

#include <cstdint>

#include "dialog/pointer_controls.h"
#include "framework/button.h"

class SpinnerCenterListener {
public:
    // delta: pixels the pointer moved up (negative: down); index: the reporting spinner's.
    virtual void Spin(int32_t delta, uint32_t index) = 0;

protected:
    ~SpinnerCenterListener() = default;
};

class SpinnerCenter : public fw::Button {
public:
    SpinnerCenter();

    void SetListener(SpinnerCenterListener* listener, uint32_t index) {
        listener_ = listener;
        index_ = index;
    }

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    SpinnerCenterListener* listener_ = nullptr;
    uint32_t index_ = 0;
    SpinnerDrag drag_;
    HCURSOR cursor_;
};
