// No shell links on POSIX systems: the platform's writer makes nothing and says so.

#include "platform/shortcuts.h"

namespace platform {

namespace {

constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);  // E_NOTIMPL

class NoShortcuts : public ShortcutWriter {
  public:
    int32_t Save(const std::string&, const ShortcutFields&) override { return kNotImplemented; }
};

}  // namespace

ShortcutWriter& PlatformShortcutWriter() {
    static NoShortcuts writer;
    return writer;
}

}  // namespace platform
