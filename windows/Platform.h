#pragma once
#include "platform/IAnsiCodePage.h"
#include "platform/IDiagnosisSources.h"
#include "platform/IEventLog.h"
#include "platform/IFileSystem.h"
#include "platform/IOperationLock.h"
#include "platform/IPrinters.h"
#include "platform/IProcesses.h"
#include "platform/IRegistry.h"
#include "platform/IServiceManager.h"
#include "platform/IShell.h"
#include "platform/IStringTable.h"
#include "platform/IThreads.h"
#include "platform/IUserSession.h"
#include "platform/IWorkstation.h"
#include "ui/IWindowSystem.h"

namespace kestrave {

// Everything the program reaches outside itself, as the windows receive it: app/ assembles it at
// start-up from the platform and the window system (the tests from their stand-ins).
struct Platform {
    IServiceManager& scm;
    IWorkstation& workstation;
    IRegistry& registry;
    IAnsiCodePage& ansi;
    IProcesses& processes;
    IFileSystem& files;
    IShell& shell;
    IPrinters& printers;
    INetworkObjectFactory& network;
    IUserSession& session;
    IOperationLock& lock;
    IDiagnosisSources& diagnosis;
    IThreads& threads;
    IStringTable& strings;
    ui::IWindowSystem& ui;
    IEventLog& eventLog;
};

} // namespace kestrave
