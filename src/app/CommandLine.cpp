#include "app/CommandLine.h"

namespace flipset {

namespace {

// Signed-byte rule: everything from 128 to 255 reads as negative and so
// separates tokens, just like space and the control characters.
bool EndsToken(char c)
{
    return static_cast<signed char>(c) <= 32;
}

bool IsFlagMark(char c)
{
    return c == '-' || c == '/';
}

}  // namespace

StringList SplitCommandLine(const std::string& commandLine)
{
    StringList tokens;
    std::string current;
    for (char c : commandLine) {
        if (EndsToken(c)) {
            tokens.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    tokens.push_back(current);
    return tokens;
}

bool HasCommandLineSwitch(const StringList& tokens, const std::string& switchText)
{
    if (tokens.size() < 2 || switchText.empty())
        return false;
    // Tokens hold no byte above 127 (those split them), so cutting by bytes
    // never splits a multibyte character.
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (EqualsNoCase(std::string_view(tokens[i]).substr(0, switchText.size()), switchText))
            return true;
    }
    return false;
}

ComCommand FindComCommand(const std::string& commandLine)
{
    // "-" and "/" are never the trail byte of a double-byte character, so a
    // byte-wise scan finds the same marks as a character-wise one.
    for (size_t mark = commandLine.find_first_of("-/"); mark != std::string::npos;
         mark = commandLine.find_first_of("-/", mark + 1)) {
        const std::string_view candidate = std::string_view(commandLine).substr(mark + 1);
        if (EqualsNoCase(candidate, "UnregServer"))
            return ComCommand::UnregServer;
        if (EqualsNoCase(candidate, "RegServer"))
            return ComCommand::RegServer;
    }
    return ComCommand::None;
}

bool IsStartedAsComServer(const StringList& tokens)
{
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token.empty() || !IsFlagMark(token[0]))
            continue;
        const std::string_view flag = std::string_view(token).substr(1);
        if (EqualsNoCase(flag, "Embedding") || EqualsNoCase(flag, "Automation"))
            return true;
    }
    return false;
}

}  // namespace flipset
