#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrave {

// An error raised by the platform: the system's error code plus what we were doing.
// The text for the code is looked up only where it is shown, by the platform layer.
class SystemError : public std::runtime_error {
  public:
    SystemError(std::uint32_t code, const std::string& context)
        : std::runtime_error(context), code_(code) {}
    std::uint32_t code() const noexcept { return code_; }

  private:
    std::uint32_t code_;
};

// The system's error codes the program and its stand-ins speak.
namespace err {
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kInvalidData = 13;
constexpr std::uint32_t kNotSameDevice = 17;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kLockViolation = 33;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kInsufficientBuffer = 122;
constexpr std::uint32_t kDependentServicesRunning = 1051;
constexpr std::uint32_t kServiceRequestTimeout = 1053;
constexpr std::uint32_t kServiceAlreadyRunning = 1056;
constexpr std::uint32_t kServiceDoesNotExist = 1060;
constexpr std::uint32_t kNoDesktopUser = 1312; // ERROR_NO_SUCH_LOGON_SESSION
constexpr std::uint32_t kServiceCannotAcceptCtrl = 1061;
constexpr std::uint32_t kServiceNotActive = 1062;
constexpr std::uint32_t kServiceMarkedForDelete = 1072;
constexpr std::uint32_t kServiceExists = 1073;
constexpr std::uint32_t kInvalidPrinterName = 1801;
constexpr std::uint32_t kTimeout = 1460;
constexpr std::uint32_t kDatatypeMismatch = 1629;
} // namespace err

} // namespace kestrave
