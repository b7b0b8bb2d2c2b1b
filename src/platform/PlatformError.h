#pragma once

#include <QString>
#include <stdexcept>

namespace bw {

// The one failure type of the program: what an outside operation (office suite,
// printer services, file system, toolkit) raised, as a number and a description.
class PlatformError : public std::runtime_error {
public:
    PlatformError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description)
    {
    }

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Numbers used where the outside world gives none of its own.
namespace ErrorNumber {
inline constexpr int ObjectNotSet = 91; // a member called on an empty reference
inline constexpr int Automation = 440;  // an office-suite call failed
inline constexpr int FileNotFound = 53;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidArgument = 5;
inline constexpr int FileAccess = 75;            // a file could not be read or written
inline constexpr int InvalidPropertyValue = 380; // a value a control does not take
inline constexpr int PrinterService = 482;       // printer error
} // namespace ErrorNumber

} // namespace bw
