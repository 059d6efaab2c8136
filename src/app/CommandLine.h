// The program's command line: its tokens, its switches and the command words
// of the COM start step. Portable: the caller passes the text of
// GetCommandLineA (or the C runtime's arguments, where noted).
#pragma once

#include "base/Text.h"

#include <string>

namespace flipset {

// The command-line tokens. Every byte whose value, read as a signed 8-bit
// number, is 32 or less (space, tab, every control character, and every byte
// from 128 to 255) ends a token, and so does the end of the text; a token
// ended this way is kept even when empty, so the result always has at least
// one entry. Quotation marks have no meaning here. Token 0 is the beginning
// of the command line (the program path or the first piece of it).
StringList SplitCommandLine(const std::string& commandLine);

// True when some token from index 1 on, cut to the length of switchText,
// equals switchText ignoring case; an argument that goes on after the switch
// text therefore counts too. False for fewer than two tokens or an empty
// switch text. Token 0 is never examined.
bool HasCommandLineSwitch(const StringList& tokens, const std::string& switchText);

// The command words that register and unregister the program as a COM
// local server.
enum class ComCommand { None, RegServer, UnregServer };

// Scans the whole command line for a "-" or "/" whose following text, up to
// the very end of the line, is "UnregServer" or "RegServer" (case ignored).
// A command word is therefore recognised only as the last thing on the line:
// anything after it, even a space, prevents the match.
ComCommand FindComCommand(const std::string& commandLine);

// True when one of the arguments (tokens from index 1 on) is the flag of a
// start by the COM runtime: "Embedding" or "Automation" after "/" or "-",
// the whole argument compared ignoring case. Takes the tokens of
// SplitCommandLine or the C runtime's arguments (__argv); only the latter
// also find a flag written in quotation marks.
bool IsStartedAsComServer(const StringList& tokens);

}  // namespace flipset
