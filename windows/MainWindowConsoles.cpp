// The main window's console shortcuts: Windows' own consoles, each started by its full path
// from the Windows folder, shown and left to the user.
#include "windows/MainWindow.h"

#include "core/system/CommandRunner.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave {

void MainWindow::openDevicesAndPrinters() {
    openShellFolder(shellfolder::kDevicesAndPrinters);
}

void MainWindow::openServices() {
    // The console by its full path, the snap-in by its own: no file association is consulted.
    const std::wstring system = p_.files.systemDirectory();
    openConsole(system + L"\\mmc.exe", L"\"" + system + L"\\services.msc\"");
}

void MainWindow::openInstalledUpdates() {
    openShellFolder(shellfolder::kInstalledUpdates);
}

void MainWindow::openNetworkCenter() {
    openShellFolder(shellfolder::kNetworkCenter);
}

void MainWindow::openConsole(const std::wstring& program, const std::wstring& arguments) {
    // Opened, shown, and left to the user: nothing here waits for a console to be closed.
    std::uint32_t failure = 0;
    try {
        CommandRunner(p_.processes, p_.files, p_.ui)
            .start(L"\"" + program + L"\" " + arguments, show::kNormal);
    } catch (const SystemError& e) {
        failure = e.code();
    }
    if (failure != 0) {
        p_.ui.messageBox(substitute(text(IDS_CONSOLE_FAILED), program) +
                             p_.ui.systemMessage(failure),
                         text(IDS_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void MainWindow::openShellFolder(const std::wstring& classId) {
    // The Windows folder's own explorer, never one found on a search path.
    openConsole(p_.files.windowsDirectory() + L"\\explorer.exe", L"shell:::" + classId);
}

} // namespace kestrave
