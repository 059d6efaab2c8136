// The COM start step: COM for the program's life as a local server, and the
// "RegServer" and "UnregServer" command words.
//
// The program serves no COM classes: its class-object table is empty, so a
// start by the COM runtime registers nothing and leads to an invisible
// process, and registering writes only the application id
// (ComRegistration.h).
#pragma once

#include <string>

namespace flipset {

class ComServer {
public:
    ComServer() = default;
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;
    // Stop().
    ~ComServer();

    // Called once, first thing at start: initialises COM and scans
    // commandLine (the whole text of GetCommandLineA) for the command words.
    // True when the start may go on, with COM initialised until Stop().
    // False when the program must end at once: COM could not be initialised,
    // or "RegServer" or "UnregServer" was handled (the registration written
    // or removed, COM uninitialised again).
    bool Start(const std::string& commandLine);

    // The clean-up at exit, on the thread that called Start: after a Start
    // that returned true, revokes the registered class objects (there are
    // none) and uninitialises COM once for Start. Does nothing otherwise, so
    // calling it again is harmless.
    void Stop();

    // True between a Start that returned true and Stop.
    bool IsServing() const { return serving_; }

private:
    bool serving_ = false;
};

}  // namespace flipset
