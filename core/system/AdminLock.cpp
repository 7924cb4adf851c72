#include "core/system/AdminLock.h"

#include "platform/SystemError.h"

namespace kestrave {

LockAttempt AdminLock::tryAcquire() {
    if (held_ != 0) {
        return {LockAttempt::Result::Taken, 0};
    }
    const bool namespaces = objects_.privateNamespaces();
    IAdminObjects::Token token = 0;
    const std::uint32_t code = namespaces ? objects_.createNamespace(L"Kestrave." + name_, token)
                                          : objects_.openLockFile(name_, token);
    if (code == 0) {
        held_ = token;
        return {LockAttempt::Result::Taken, 0};
    }
    const bool busy = namespaces ? code == err::kAlreadyExists
                                 : code == err::kSharingViolation || code == err::kLockViolation;
    return {busy ? LockAttempt::Result::Busy : LockAttempt::Result::Failed, code};
}

void AdminLock::release() {
    if (held_ != 0) {
        objects_.close(held_);
        held_ = 0;
    }
}

} // namespace kestrave
