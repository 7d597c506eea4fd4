// What every back end's RegistryKey shares: it owns one open key handle and closes it when it goes.

#include "platform/registry.h"

namespace platform {

RegistryKey::~RegistryKey() {
    Close();
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

}  // namespace platform
