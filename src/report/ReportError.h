#pragma once

#include <stdexcept>
#include <string>

namespace vinarca {

// Any failure while loading, filling, preparing or printing a report. The
// windows that own a layout catch it and report it in their own words.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace vinarca
