// The exceptions by which the simulator reports a user or file error to the
// entry point, the only place that catches them.
#pragma once

#include <string>

struct HelpException {
    static const std::string m_what;
};

struct FlagException {
    static const std::string m_message;
    std::string flag;
    std::string message;
};

struct MissingFlagException : FlagException {
    static const std::string m_message;
    explicit MissingFlagException(const std::string& flag);
};

// A flag whose values are missing, not numbers, or out of their range.
struct BadInputValueException : FlagException {
    static const std::string m_message;
    explicit BadInputValueException(const std::string& flag);
};

struct GenericErrorException {
    std::string first;
    std::string second;
};

struct badfilename {
    std::string message;
    badfilename(std::string file, std::string reason);
};
