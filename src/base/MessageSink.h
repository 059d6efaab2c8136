// Message boxes, for code that reports to the user from inside a run and
// from outside one (the start-up network action, the "all now" buttons).
// The run's host implements it, and so does the network layer's caller
// outside a run.
#pragma once

#include <string>

namespace flipset {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A message box with the stop icon and an OK button; returns when dismissed.
    virtual void ShowError(const std::string& text) = 0;
    // A message box with an OK button and no icon; returns when dismissed.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace flipset
