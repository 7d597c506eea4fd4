#include "tests/e2e/driver/process_params.h"

#include <cstdint>
#include <vector>

namespace e2e {

namespace {

static_assert(sizeof(void*) == 4, "the offsets below are those of 32-bit processes");

// The leading fields of PROCESS_BASIC_INFORMATION.
struct BasicInformation {
    LONG exit_status;
    uint32_t peb_address;
    ULONG_PTR affinity_mask;
    LONG base_priority;
    ULONG_PTR process_id;
    ULONG_PTR parent_process_id;
};

// UNICODE_STRING as laid out in the other process.
struct RemoteUnicodeString {
    uint16_t length;  // bytes, without a terminator
    uint16_t maximum_length;
    uint32_t buffer;  // address in the other process
};

constexpr int kProcessBasicInformation = 0;
constexpr uint32_t kPebProcessParametersOffset = 0x10;
constexpr uint32_t kParamsCurrentFolderOffset = 0x24;  // CurrentDirectory.DosPath
constexpr uint32_t kParamsCommandLineOffset = 0x40;

using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

template <typename T>
bool ReadRemote(HANDLE process, uint32_t address, T* value) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<const void*>(uintptr_t{address}), value,
                             sizeof(T), &read) &&
           read == sizeof(T);
}

bool ReadRemoteString(HANDLE process, uint32_t address, std::string* text) {
    RemoteUnicodeString header = {};
    if (!ReadRemote(process, address, &header) || header.length % 2 != 0) {
        return false;
    }
    std::vector<wchar_t> wide(header.length / 2 + 1, L'\0');
    SIZE_T read = 0;
    if (header.length > 0 &&
        (!ReadProcessMemory(process, reinterpret_cast<const void*>(uintptr_t{header.buffer}),
                            wide.data(), header.length, &read) ||
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
    uint32_t parameters = 0;
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
