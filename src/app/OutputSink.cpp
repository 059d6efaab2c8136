#include "app/OutputSink.h"

namespace flipset {

std::string OutputLine(const std::string& message)
{
    std::string line;
    line.reserve(message.size());
    bool inBreak = false;
    for (char c : message) {
        const bool isBreak = c == '\r' || c == '\n';
        if (isBreak && !inBreak)
            line += ' ';
        else if (!isBreak)
            line += c;
        inBreak = isBreak;
    }
    return line;
}

void WriteErrorLine(OutputSink& output, const std::string& message)
{
    output.WriteLine("error: " + OutputLine(message));
}

}  // namespace flipset
