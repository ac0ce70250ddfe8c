// Message texts of the run exceptions.
#include "common/exceptions.h"

const std::string HelpException::m_what = "Help wanted";
const std::string FlagException::m_message = "ERROR!!! Flag error: ";
const std::string MissingFlagException::m_message = "ERROR!!! Must specify a value for flag: ";
const std::string BadInputValueException::m_message = "ERROR!!! Bad value given for flag: ";

MissingFlagException::MissingFlagException(const std::string& flag_name)
    : FlagException{flag_name, m_message + flag_name} {}

BadInputValueException::BadInputValueException(const std::string& flag_name)
    : FlagException{flag_name, m_message + flag_name} {}

badfilename::badfilename(std::string file, std::string reason)
    : message("Error reading file " + file + ": " + reason) {}
