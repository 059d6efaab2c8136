// Where the command-line verbs write their lines: the standard output that
// the program inherited, or the console of the process that started it.
#pragma once

#include "base/Text.h"

#include <string>

namespace flipset {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // One plain line; the sink adds the line end.
    virtual void WriteLine(const std::string& line) = 0;
    // Lines that are all known at once (a verb's report), each as WriteLine
    // writes it; a sink may write them in one go.
    virtual void WriteLines(const StringList& lines)
    {
        for (const std::string& line : lines)
            WriteLine(line);
    }
};

// A message as one output line: its line breaks become spaces, so that a
// script reads every message whole from one line.
std::string OutputLine(const std::string& message);

// An error line: "error: " and the message as one line.
void WriteErrorLine(OutputSink& output, const std::string& message);

// The lines of a text that line-by-line output wrote: split at "\r\n" or
// "\n"; an unfinished last line counts, an empty text has none.
StringList SplitOutputLines(const std::string& text);

}  // namespace flipset
