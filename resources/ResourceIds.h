#pragma once
// Shared by the resource script and the code; plain macros so windres can read it.
#define IDI_KESTRAVE 1
#define IDR_PIC_RUNNING 101
#define IDR_PIC_STOPPED 102
#define IDB_ABOUT_PRINTER 103
// A picture's double-size version has its id plus this; drawn instead of enlarging at high DPI.
#define PICTURE_2X_OFFSET 100
#define IDR_PIC_RUNNING_2X 201
#define IDR_PIC_STOPPED_2X 202
#define IDB_ABOUT_PRINTER_2X 203
