#include "AnswerFileGenerator.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view UsageText =
    "Usage: pelloran-bench-generate STUDENTS QUESTIONS OUT.csv [--roster] [--seed N]\n"
    "Writes an answer file of STUDENTS students and QUESTIONS questions, or with --roster\n"
    "the \"number,name\" lines of the same students. The same seed gives the same file.\n";

struct TGenerateRequest {
    int students = 0;
    int questions = 0;
    std::string outputFile;
    bool roster = false;
    std::uint64_t seed = DefaultBenchSeed;
};

template <typename TNumber>
TNumber ParseNumber(const std::string& text, TNumber least, const char* what) {
    TNumber value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < least) {
        throw std::invalid_argument(std::string(what) + " must be a whole number from " +
                                    std::to_string(least) + ": " + text);
    }
    return value;
}

TGenerateRequest ParseArguments(const std::vector<std::string>& arguments) {
    TGenerateRequest request;
    std::vector<std::string> positional;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        if (arguments[at] == "--roster") {
            request.roster = true;
        } else if (arguments[at] == "--seed" && at + 1 < arguments.size()) {
            request.seed = ParseNumber<std::uint64_t>(arguments[++at], 0, "the seed");
        } else {
            positional.push_back(arguments[at]);
        }
    }
    if (positional.size() != 3) {
        throw std::invalid_argument("expected STUDENTS QUESTIONS OUT.csv");
    }
    request.students = ParseNumber(positional[0], 0, "STUDENTS");
    request.questions = ParseNumber(positional[1], 1, "QUESTIONS");
    request.outputFile = positional[2];
    return request;
}

void WriteTextFile(const std::string& fileName, const std::string& text) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + fileName);
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        const TGenerateRequest request =
            ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        WriteTextFile(request.outputFile,
                      request.roster
                          ? GenerateRoster(request.students, request.seed)
                          : GenerateAnswerFile(request.students, request.questions, request.seed));
    } catch (const std::exception& error) {
        std::cerr << "pelloran-bench-generate: " << error.what() << "\n" << UsageText;
        return 2;
    }
    return 0;
}
