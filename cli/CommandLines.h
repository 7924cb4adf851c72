#pragma once
#include <string>
#include <vector>

#include "cli/CommandLineRun.h"
#include "core/spooler/OutcomeText.h"

namespace kestrave::cli {

// Every line goes to the console and, when one is open, to the log; with /json, to the log
// alone, the console having the one document.
class Lines : public IOperationObserver {
  public:
    Lines(CliWorld& w, bool logging, bool json = false) : w_(w), logging_(logging), json_(json) {}
    void say(const std::wstring& line) {
        if (!json_) {
            w_.console.writeLine(line);
        }
        if (logging_) {
            w_.log.append(line);
        }
    }
    void complain(const std::wstring& line) {
        if (!json_) {
            w_.console.writeError(line);
        }
        if (logging_) {
            w_.log.append(line);
        }
    }
    void document(const std::string& json) {
        w_.console.writeLine(std::wstring(json.begin(), json.end()));
    }
    void step(Step step, std::size_t, std::size_t) override {
        // One line per step, not per file.
        if (!said_ || step != last_) {
            say(stepText(step, w_.strings));
            steps_.push_back(step);
            last_ = step;
            said_ = true;
        }
    }
    std::wstring text(int id) const { return w_.strings.text(id); }
    const std::vector<Step>& steps() const { return steps_; }

  private:
    CliWorld& w_;
    bool logging_;
    bool json_;
    Step last_{};
    bool said_ = false;
    std::vector<Step> steps_;
};

} // namespace kestrave::cli
