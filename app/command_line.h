// Cuts one unsplit command line into arguments, for a platform that hands over only that.
// No escapes: a backslash is ordinary and no argument can hold a double quote.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's own name, up to the first one that comes out empty.
std::vector<std::string> SplitCommandLine(const std::string& line);
