#pragma once

#include <string>
#include <vector>

/// The arguments after the program's name, as path texts (platform/Paths.h): on Windows read
/// from the UTF-16 command line, so that names the code page cannot hold arrive whole.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// Lets standard output and standard error take bytes as they are: on Windows they would add a
/// CR before every LF. For a program's main, which owns the streams.
void UseBinaryStandardStreams();
