// Export macro of the module. The module exports Veilgate; the page,
// dialog and control classes are exported too, so that the test programs
// can drive them against the real module and its resources.
#pragma once

#ifdef VEILGATE_BUILDING
#define VG_API __declspec(dllexport)
#else
#define VG_API __declspec(dllimport)
#endif
