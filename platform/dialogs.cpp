#include "platform/dialogs.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<DialogHost*> g_host{nullptr};
}

DialogHost* SetDialogHost(DialogHost* host) {
    return g_host.exchange(host);
}

int ShowDialog(int resource_id) {
    DialogHost* host = g_host.load();
    return host != nullptr ? host->Show(resource_id) : kDialogCancel;
}

}  // namespace platform
