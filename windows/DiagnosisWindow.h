#pragma once
#include <memory>
#include <optional>

#include "core/diagnosis/Diagnosis.h"
#include "core/plugins/PlugInQuarantine.h"
#include "core/system/Background.h"
#include "windows/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Menu.h"
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
    ui::CommandButton plugInButton; // greyed while there is nothing to take out or put back
    ui::Label codeLabel;
    ui::TextBox codeBox; // an error code, typed
    ui::CommandButton explainButton;
    ui::Timer gatherTimer;
    ui::Menu plugInMenu;

    void copy();
    void save();
    const Report& report() const { return report_; }
    // Whether this opening still waits for its report.
    bool gathering() const { return gatherTimer.enabled(); }
    // What the typed error code means here, in a message (or why it is no code).
    void explain();
    // The plug-ins offered, each asked about before it is chosen.
    void offerPlugIns();
    // What the user chose and confirmed to take out or put back, once: the main window runs
    // it after this window has closed, so that its progress is seen on the status line.
    std::optional<plugins::PlugInRequest> takeChoice();

  protected:
    void design() override;
    void onLoad() override;

  private:
    void showWhenGathered();
    // Asks before a change of the plug-in, twice for one whose file names the system's maker.
    bool confirmed(const plugins::PlugInChoice& choice);
    void choose(const plugins::PlugInChoice& choice);
    std::optional<plugins::PlugInRequest> chosen_;
    Platform& p_;
    ui::Form& main_;
    Report report_;
    // Kept past a closing: a window opened again while it still runs waits for it rather
    // than start another, so threads held up by a hanging source never pile up.
    std::unique_ptr<Background<Report>> gathering_;
};

} // namespace kestrave
