// Acting in the "Veilgate Server IP" dialog as a person would.
#pragma once

#include <windows.h>
#include <string>

extern const char kServerDialogCaption[];

// Clears the address field and types keys into it, "." included.
void TypeAddress(HWND hDlg, const char* keys);
// Replaces the port field's text.
void SetPort(HWND hDlg, const char* text);
// The address field's text, blanks included: "10 .1  .2  .3  ".
std::string AddressField(HWND hDlg);
std::string PortField(HWND hDlg);
// Clicks OK or Cancel.
void PressDialogButton(HWND hDlg, int id);
