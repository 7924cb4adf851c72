#pragma once
#include <functional>
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
    int terminatedEndsAfterWaits = 1; // how long an ended process takes to be gone

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

    std::unique_ptr<IRunningProcess> terminate(std::uint32_t processId) override {
        if (refuseTerminate != 0) {
            throw SystemError(refuseTerminate, "cannot end the process");
        }
        terminated.push_back(processId);
        if (onTerminate) {
            onTerminate(processId);
        }
        return std::make_unique<Process>(*this, terminatedEndsAfterWaits);
    }

  private:
    class Process : public IRunningProcess {
      public:
        Process(FakeProcesses& owner, int waits) : owner_(owner), left_(waits) { ++owner_.running; }
        ~Process() override { --owner_.running; }
        bool waitExitOrInput() override {
            ++owner_.waits;
            return --left_ <= 0;
        }
        bool waitExit(int) override { return waitExitOrInput(); }

      private:
        FakeProcesses& owner_;
        int left_;
    };
};

} // namespace kestrave::fake
