#pragma once
#include <string>

#include "platform/IAdminObjects.h"
#include "platform/IOperationLock.h"

namespace kestrave {

// A lock only administrators can hold: a private namespace of its name where the system has
// them, otherwise a lock file opened for this process alone.
//
// Only the namespace's creator ever holds the lock, and it destroys the namespace when it
// gives the lock back (a process that ends gives it back too). A namespace that exists
// therefore always has a living holder, and no second one can be made beside it. Opening
// an existing namespace would not do: once its creator closes it, another create makes a new
// one while whoever opened the old one still believes it holds the lock.
class AdminLock : public IOperationLock {
  public:
    AdminLock(IAdminObjects& objects, std::wstring name)
        : objects_(objects), name_(std::move(name)) {}
    ~AdminLock() override { release(); }
    AdminLock(const AdminLock&) = delete;
    AdminLock& operator=(const AdminLock&) = delete;

    LockAttempt tryAcquire() override;
    void release() override;

  private:
    IAdminObjects& objects_;
    std::wstring name_;
    IAdminObjects::Token held_ = 0;
};

} // namespace kestrave
