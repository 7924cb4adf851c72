#pragma once
#include <memory>

#include "core/diagnosis/Diagnosis.h"
#include "core/system/Background.h"
#include "platform/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Timer.h"

namespace kestrave {

// The diagnosis report, read-only and scrollable, problems first, with copy and save. It is
// gathered on a thread of its own: the window says so meanwhile, and can be moved and closed.
class DiagnosisWindow : public ui::Form {
  public:
    DiagnosisWindow(Platform& platform, ui::Form& mainWindow);

    ui::TextBox reportBox;
    ui::CommandButton copyButton;
    ui::CommandButton saveButton;
    ui::CommandButton closeButton;
    ui::Timer gatherTimer;

    void copy();
    void save();
    const Report& report() const { return report_; }
    // Whether this opening still waits for its report.
    bool gathering() const { return gatherTimer.enabled(); }

  protected:
    void design() override;
    void onLoad() override;

  private:
    void showWhenGathered();
    Platform& p_;
    ui::Form& main_;
    Report report_;
    // Kept past a closing: a window opened again while it still runs waits for it rather
    // than start another, so threads held up by a hanging source never pile up.
    std::unique_ptr<Background<Report>> gathering_;
};

} // namespace kestrave
