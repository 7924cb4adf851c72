#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/IProcesses.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Processes that "run" for a number of waits; each wait may deliver window input first.
class FakeProcesses : public IProcesses {
  public:
    struct Started {
        std::wstring application;
        std::wstring commandLine;
        int showWindow;
        std::wstring workingDirectory;
    };
    std::vector<Started> started;
    std::vector<std::wstring> existingPrograms; // full paths that can be started
    int runsForWaits = 1;
    int waits = 0;
    int running = 0;
    std::function<void(const Started&)> onStart; // what the command does to the world
    std::vector<std::uint32_t> terminated;
    std::function<void(std::uint32_t)> onTerminate;
    std::uint32_t refuseTerminate = 0;
    std::uint32_t refuseOpen = 0;
    // What happens in the world the moment a process is opened (a service stops, say).
    std::function<void(std::uint32_t)> onOpen;
    // Each process's program file: from `images`, else as imageOf says.
    std::map<std::uint32_t, std::wstring> images;
    std::function<std::wstring(std::uint32_t)> imageOf;
    int terminatedEndsAfterWaits = 1; // how long an ended process takes to be gone
    std::vector<std::size_t> endedStarted; // started processes ended by the program (1-based)

    std::unique_ptr<IRunningProcess> start(const std::wstring& application,
                                           const std::wstring& commandLine, int showWindow,
                                           const std::wstring& workingDirectory) override {
        bool found = existingPrograms.empty();
        for (const auto& p : existingPrograms) {
            found = found || p == application;
        }
        if (!found) {
            throw SystemError(2, "cannot start the program");
        }
        started.push_back({application, commandLine, showWindow, workingDirectory});
        if (onStart) {
            onStart(started.back());
        }
        return std::make_unique<Process>(*this, runsForWaits);
    }

    std::unique_ptr<IOpenedProcess> open(std::uint32_t processId) override {
        if (refuseOpen != 0) {
            throw SystemError(refuseOpen, "cannot open the process");
        }
        if (onOpen) {
            onOpen(processId);
        }
        return std::make_unique<Opened>(*this, processId);
    }

  private:
    class Process : public IRunningProcess {
      public:
        Process(FakeProcesses& owner, int waits) : owner_(owner), left_(waits) { ++owner_.running; }
        ~Process() override { --owner_.running; }
        bool waitExitOrInput(int) override {
            ++owner_.waits;
            return ended_ || --left_ <= 0;
        }
        bool waitExit(int ms) override { return waitExitOrInput(ms); }
        void terminate() override {
            owner_.endedStarted.push_back(owner_.started.size());
            ended_ = true;
        }

      private:
        FakeProcesses& owner_;
        int left_;
        bool ended_ = false;
    };
    class Opened : public IOpenedProcess {
      public:
        Opened(FakeProcesses& owner, std::uint32_t id) : owner_(owner), id_(id) {}
        bool waitExitOrInput(int ms) override { return waitExit(ms); }
        bool waitExit(int) override {
            ++owner_.waits;
            return ended_ && --left_ <= 0;
        }
        std::wstring imagePath() override {
            if (const auto it = owner_.images.find(id_); it != owner_.images.end()) {
                return it->second;
            }
            return owner_.imageOf ? owner_.imageOf(id_) : std::wstring();
        }
        void terminate() override {
            if (owner_.refuseTerminate != 0) {
                throw SystemError(owner_.refuseTerminate, "cannot end the process");
            }
            owner_.terminated.push_back(id_);
            if (owner_.onTerminate) {
                owner_.onTerminate(id_);
            }
            ended_ = true;
            left_ = owner_.terminatedEndsAfterWaits;
        }

      private:
        FakeProcesses& owner_;
        std::uint32_t id_;
        bool ended_ = false;
        int left_ = 0;
    };
};

} // namespace kestrave::fake
