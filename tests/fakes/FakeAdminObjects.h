#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/IAdminObjects.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// The machine's objects as several processes see them. Private namespaces behave as the
// system documents them: a namespace lives while its creator's handle is open, can be
// destroyed by it, and once gone, a create makes a new one; a boundary that requires the
// Administrators group refuses anyone else. Lock files are shared by no one.
struct FakeKernel {
    struct Namespace {
        int generation = 0;
        bool alive = false;
    };
    std::map<std::wstring, Namespace> namespaces;
    std::set<std::wstring> openLockFiles;
    // Names ordinary objects are made under, squatted by other accounts: never consulted by
    // an admin-only object, so holding them blocks nothing.
    std::set<std::wstring> squattedOrdinaryNames;
};

// One process's view of the kernel.
class FakeAdminObjects : public IAdminObjects {
  public:
    explicit FakeAdminObjects(FakeKernel& kernel, bool administrator = true)
        : kernel_(kernel), administrator_(administrator) {}
    bool namespacesAvailable = true;
    std::uint32_t lockFolderRefused = 0; // e.g. 5: the folder was made first by a standard user

    bool privateNamespaces() override { return namespacesAvailable; }
    std::uint32_t createNamespace(const std::wstring& name, Token& out) override {
        if (!administrator_) {
            return err::kAccessDenied; // outside the boundary
        }
        FakeKernel::Namespace& ns = kernel_.namespaces[name];
        if (ns.alive) {
            return err::kAlreadyExists;
        }
        ns.alive = true;
        ++ns.generation;
        return hold(Held{true, name}, out);
    }
    std::uint32_t openLockFile(const std::wstring& name, Token& out) override {
        if (!administrator_) {
            return err::kAccessDenied;
        }
        if (lockFolderRefused != 0) {
            return lockFolderRefused;
        }
        if (!kernel_.openLockFiles.insert(name).second) {
            return err::kSharingViolation;
        }
        return hold(Held{false, name}, out);
    }
    void close(Token token) override {
        const auto it = held_.find(token);
        if (it == held_.end()) {
            return;
        }
        if (it->second.isNamespace) {
            kernel_.namespaces[it->second.name].alive = false;
        } else {
            kernel_.openLockFiles.erase(it->second.name);
        }
        held_.erase(it);
    }
    // The process ends: the system closes whatever it still had open.
    void processEnds() {
        while (!held_.empty()) {
            close(held_.begin()->first);
        }
    }
    std::size_t openTokens() const { return held_.size(); }

  private:
    struct Held {
        bool isNamespace;
        std::wstring name;
    };
    std::uint32_t hold(Held h, Token& out) {
        out = next_++;
        held_.emplace(out, std::move(h));
        return 0;
    }
    FakeKernel& kernel_;
    bool administrator_;
    std::map<Token, Held> held_;
    Token next_ = 1;
};

} // namespace kestrave::fake
