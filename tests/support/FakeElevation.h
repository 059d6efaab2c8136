// An elevation that says what the test sets: elevated unless told otherwise.
#pragma once

#include "app/Elevation.h"

namespace flipset {

class FakeElevation : public Elevation {
public:
    explicit FakeElevation(bool isElevated = true) : elevated(isElevated) {}
    bool IsElevated() const override { return elevated; }

    bool elevated;
};

}  // namespace flipset
