#include "tests/e2e/driver/process_params.h"

#include <cstdint>
#include <vector>

namespace e2e {

namespace {

// The other process is of the driver's own width (32-bit, or 64-bit in the test build for
// machines that run only a 64-bit wine), so its structures have the driver's layout.

// The leading fields of PROCESS_BASIC_INFORMATION.
struct BasicInformation {
    LONG exit_status;
    ULONG_PTR peb_address;
    ULONG_PTR affinity_mask;
    LONG base_priority;
    ULONG_PTR process_id;
    ULONG_PTR parent_process_id;
};

// UNICODE_STRING as laid out in the other process.
struct RemoteUnicodeString {
    uint16_t length;  // bytes, without a terminator
    uint16_t maximum_length;
    ULONG_PTR buffer;  // address in the other process
};

constexpr bool kWide = sizeof(void*) == 8;
constexpr int kProcessBasicInformation = 0;
constexpr ULONG_PTR kPebProcessParametersOffset = kWide ? 0x20 : 0x10;
constexpr ULONG_PTR kParamsCurrentFolderOffset = kWide ? 0x38 : 0x24;  // CurrentDirectory.DosPath
constexpr ULONG_PTR kParamsCommandLineOffset = kWide ? 0x70 : 0x40;

using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

template <typename T>
bool ReadRemote(HANDLE process, ULONG_PTR address, T* value) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<const void*>(address), value, sizeof(T),
                             &read) &&
           read == sizeof(T);
}

bool ReadRemoteString(HANDLE process, ULONG_PTR address, std::string* text) {
    RemoteUnicodeString header = {};
    if (!ReadRemote(process, address, &header) || header.length % 2 != 0) {
        return false;
    }
    std::vector<wchar_t> wide(header.length / 2 + 1, L'\0');
    SIZE_T read = 0;
    if (header.length > 0 &&
        (!ReadProcessMemory(process, reinterpret_cast<const void*>(header.buffer), wide.data(),
                            header.length, &read) ||
         read != header.length)) {
        return false;
    }
    const int wide_length = static_cast<int>(header.length / 2);
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    text->assign(static_cast<size_t>(size), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, text->data(), size, nullptr,
                            nullptr);
    }
    return true;
}

}  // namespace

bool ReadProcessParams(HANDLE process, ProcessParams* params) {
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) {
        return false;
    }
    BasicInformation basic = {};
    if (query(process, kProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) {
        return false;
    }
    ULONG_PTR parameters = 0;
    if (!ReadRemote(process, basic.peb_address + kPebProcessParametersOffset, &parameters) ||
        parameters == 0) {
        return false;
    }
    return ReadRemoteString(process, parameters + kParamsCommandLineOffset,
                            &params->command_line) &&
           ReadRemoteString(process, parameters + kParamsCurrentFolderOffset,
                            &params->current_folder);
}

}  // namespace e2e
