#pragma once

#include <filesystem>
#include <string>
#include <vector>

/// The arguments after the program's name, as path texts (platform/Paths.h): on Windows read
/// from the UTF-16 command line, so that names the code page cannot hold arrive whole.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// Lets standard output and standard error take bytes as they are: on Windows they would add a
/// CR before every LF. For a program's main, which owns the streams.
void UseBinaryStandardStreams();

/// Whether standard error goes to a terminal, where a person reads it as it comes.
bool StandardErrorIsTerminal();

/// Runs `program` in this process's stead, with this process's arguments (`argv` as main got
/// it, the program's name included) and standard streams, and returns its exit status for main
/// to return. On POSIX the process becomes the program and this returns only by throwing; on
/// Windows, which cannot replace a process, the program runs as a child that is waited for.
/// For a main that has written nothing yet. Throws EProgramStartError when the program cannot
/// be started.
int RunProgramInstead(const std::filesystem::path& program, char** argv);
