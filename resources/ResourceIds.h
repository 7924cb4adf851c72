#pragma once
// Shared by the resource script and the code; plain macros so windres can read it.
#define IDI_KESTRAVE 1
#define IDR_PIC_RUNNING 101
#define IDR_PIC_STOPPED 102
#define IDB_ABOUT_PRINTER 103
