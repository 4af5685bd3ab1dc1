#pragma once
// The binary interface between the authoring host and the plug-in.
//
// Calling convention (32-bit Windows): the host's register convention. The first three
// arguments travel in EAX, EDX and ECX; further arguments are pushed on the stack in
// declaration order (the first of them pushed first) and the callee removes them; results
// come back in EAX, Booleans in AL (0 false, 1 true).
//
// GCC's regparm(3)+stdcall gives the registers and the callee cleanup, but pushes stack
// arguments right to left. Every prototype below therefore lists its stack arguments (the
// fourth and later) in reverse order: the argument the host pushes first comes last.
// On other systems NB_CALL is the plain C convention and the order is the natural one; the
// NB_STACK_ARGS macros keep both spellings in one place.
//
// Texts are zero-terminated 8-bit strings in the system code page. A `HostString` is such a
// text in memory from `HostAlloc` (Windows: fixed global memory); texts written into host
// variables through out-parameters are HostStrings, plain text arguments stay the caller's
// and are valid only during the call.
#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define NB_CALL __attribute__((regparm(3), stdcall))
#define NB_REVERSED_STACK 1
#else
#define NB_CALL
#define NB_REVERSED_STACK 0
#endif

#if defined(_WIN32)
#define NB_EXPORT extern "C" __declspec(dllexport)
#else
#define NB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace plugin {

using HostString = char*;
using NBBool = uint8_t;  // returned in AL

// AddActionProc(id, name, hint, kinds address, kinds last index, count) as the host declares it.
#if NB_REVERSED_STACK
using AddActionProc = void(NB_CALL*)(int32_t id, const char* name, const char* hint, uint32_t count,
                                     int32_t kindsLastIndex, const uint8_t* kinds);
#else
using AddActionProc = void(NB_CALL*)(int32_t id, const char* name, const char* hint,
                                     const uint8_t* kinds, int32_t kindsLastIndex, uint32_t count);
#endif
using GetVariableProc = void(NB_CALL*)(const char* name, HostString* value);
using SetVariableProc = void(NB_CALL*)(const char* name, const char* value);
using InterfaceAccessProc = NBBool(NB_CALL*)(int32_t code, HostString* data);
using OpaqueProc = void*;

// Interface request codes of InterfaceAccessProc.
constexpr int32_t kAccessProbe = 6;
constexpr int32_t kAccessRectWindow = 7;
constexpr int32_t kAccessPickObject = 8;

// The message with which the host asks an attached window to fill its parent (lParam 4).
constexpr uint32_t kMessageFillParent = 0x0400 + 250;
constexpr int32_t kShutdownMessage = 2;

}  // namespace plugin

// The seven exports. Their undecorated names are fixed by zkSpreadSheet2.def on Windows.
extern "C" {
// With four arguments only the last one travels on the stack, so no reordering is needed.
typedef void(NB_CALL* nbInitPlugInFn)(int32_t hostValue, plugin::HostString* title,
                                      plugin::HostString* publisher, plugin::HostString* hint);
typedef void(NB_CALL* nbRegisterPlugInFn)(plugin::AddActionProc add, plugin::OpaqueProc second,
                                          plugin::GetVariableProc get, plugin::SetVariableProc set);
typedef void(NB_CALL* nbRegisterScriptProcessorFn)(plugin::OpaqueProc processor);
typedef void(NB_CALL* nbRegisterInterfaceAccessFn)(plugin::InterfaceAccessProc access);
typedef plugin::NBBool(NB_CALL* nbExecActionFn)(int32_t id, const char* const* params);
typedef plugin::NBBool(NB_CALL* nbEditActionFn)(int32_t id, plugin::HostString* params);
typedef void(NB_CALL* nbMessageFn)(int32_t code);
}
