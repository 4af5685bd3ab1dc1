#pragma once
// The test's host: the hand-written thunk and callback entry points of HostThunk.S, and the
// state the callbacks record, so the tests can compare it with what the host must receive.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

extern "C" {
struct HostCallResult {
  uint32_t eax;
  int32_t espDelta;  // 0 when the callee removed exactly its stack arguments
  uint32_t ebx, esi, edi;
};
void HostCall(void* function, const uint32_t* args, uint32_t count, HostCallResult* out);

// Entry points with the register convention; only their addresses are used from C++.
void AddActionEntry();
void SetVariableEntry();
void GetVariableEntry();
void InterfaceAccessEntry();
}

namespace hostabi {

// Values HostThunk.S loads into the registers the callee must preserve.
constexpr uint32_t kSentinelEbx = 0x5EB1A5ED;
constexpr uint32_t kSentinelEsi = 0x51A7E5E5;
constexpr uint32_t kSentinelEdi = 0x0DDBA11E;

struct Announcement {
  int32_t id = 0;
  std::string name;
  std::string hint;
  std::vector<uint8_t> kinds;  // the bytes at the kinds address, last index + 1 of them
  int32_t lastIndex = 0;
  uint32_t count = 0;  // the low byte of the pushed value
  bool kindsAddressNull = false;
};

struct AccessRequest {
  int32_t code = 0;
  std::string data;  // the HostString's text on entry
  bool dataNull = true;
};

struct HostState {
  std::vector<Announcement> announcements;
  std::vector<std::pair<std::string, std::string>> writes;  // SetVariableProc calls in order
  std::map<std::string, std::string> variables;
  std::vector<AccessRequest> requests;
  bool probeAnswer = true;
  std::string rectAnswer = "0";  // decimal text answered to every kAccessRectWindow
};

HostState& Host();

// kernel32's global memory, looked up at run time (HostStrings are GMEM_FIXED blocks).
void* GlobalAllocFixed(size_t size);
void GlobalFreeBlock(void* block);
size_t GlobalBlockSize(void* block);  // 0 when `block` is no global memory block

}  // namespace hostabi
