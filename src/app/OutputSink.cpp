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

StringList SplitOutputLines(const std::string& text)
{
    StringList lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

}  // namespace flipset
