#include "tools/dompack/pack_source.h"

#include <cstring>

#include "engine/pack_format.h"
#include "res/resource_ids.h"
#include "tools/dompack/commands.h"

namespace {

struct NeededResource {
    const char* type;  // a name, or "#N" for the numbered type N
    const char* label;
    uint32_t id;
};

// Standard resource types by number.
constexpr char kBitmap[] = "#2";
constexpr char kDialog[] = "#5";
constexpr char kStringBlock[] = "#6";
constexpr char kIconGroup[] = "#14";
// The block of the string table that holds strings 1 to 8 (16 strings a block).
constexpr uint32_t kFirstStringBlock = IDS_BROWSE_TITLE / 16 + 1;

constexpr NeededResource kNeeded[] = {
    {kDialog, "dialog", IDD_MENU_SCREEN},
    {kDialog, "dialog", IDD_DISK_SPACE},
    {kDialog, "dialog", IDD_EXIT_INSTALL},
    {kDialog, "dialog", IDD_CREATE_DIR_ERROR},
    {kDialog, "dialog", IDD_OVERWRITE},
    {kDialog, "dialog", IDD_DISK_FULL},
    {kDialog, "dialog", IDD_DELETE_SAVES},
    {kDialog, "dialog", IDD_PLATFORM_ERROR},
    {kDialog, "dialog", IDD_UNINSTALL_CONFIRM},
    {kDialog, "dialog", IDD_DAMAGED_PAYLOAD},
    {kDialog, "dialog", IDD_INSTALL_ERROR},
    {kDialog, "dialog", IDD_UNINSTALL_DONE},
    {kDialog, "dialog", IDD_DESKTOP_SHORTCUT},
    {kBitmap, "bitmap", IDB_BACKGROUND},
    {kBitmap, "bitmap", IDB_FONT_NORMAL},
    {kBitmap, "bitmap", IDB_FONT_MASK},
    {kBitmap, "bitmap", IDB_FONT_DISABLED},
    {kBitmap, "bitmap", IDB_FONT_HOVER},
    {kBitmap, "bitmap", IDB_FONT_PRESSED},
    {kBitmap, "bitmap", IDB_PROGRESS_MASK},
    {kBitmap, "bitmap", IDB_PROGRESS_LIT},
    {kBitmap, "bitmap", IDB_PROGRESS_UNLIT},
    {"PROPTABLE", "glyph table PROPTABLE", IDR_FONT_TABLE},
    {"TEXT", "ReadMe TEXT", IDR_README},
    {kStringBlock, "string table block", kFirstStringBlock},
    {kIconGroup, "icon", IDI_MAINFRAME},
};

// A bitmap resource starts with its BITMAPINFOHEADER (or a later version of it), whose first
// field is its own size.
bool BitmapHeaderWhole(const uint8_t* data, uint32_t size) {
    if (size < 40) {
        return false;
    }
    const uint32_t header = ReadLe32(data);
    return (header == 40 || header == 108 || header == 124) && header <= size;
}

}  // namespace

bool PackSource::Open(const std::string& path, std::string* error, int* status) {
    *status = kExitUsage;
    if (!file_.Open(path, error)) {
        return false;
    }
    data_ = file_.data();
    size_ = file_.size();
    is_program_ = size_ >= 2 && data_[0] == 'M' && data_[1] == 'Z';
    if (!is_program_) {
        return true;
    }
    *status = kExitFaulty;
    if (!image_.Parse(file_.data(), file_.size(), error)) {
        return false;
    }
    PeResource pack;
    if (!image_.FindResource("PACK", IDR_PACK, &pack, error)) {
        if (error->empty()) {
            *error = "the program carries no PACK 131";
        }
        return false;
    }
    data_ = file_.data() + pack.file_offset;
    size_ = pack.size;
    if (std::string_view(reinterpret_cast<const char*>(data_), size_) == kPayloadPlaceholder) {
        *error = "the program carries no payload (a stub: stamp one with dompack setup)";
        return false;
    }
    return true;
}

bool CheckInstallerResources(const PeImage& image, std::string* error) {
    for (const NeededResource& needed : kNeeded) {
        const std::string name = std::string(needed.label) + " " + std::to_string(needed.id);
        PeResource resource;
        std::string fault;
        if (!image.FindResource(needed.type, needed.id, &resource, &fault)) {
            *error = name + (fault.empty() ? " is missing" : " is damaged: " + fault);
            return false;
        }
        const uint8_t* data = image.data() + resource.file_offset;
        if (resource.size == 0 ||
            (std::strcmp(needed.type, kBitmap) == 0 && !BitmapHeaderWhole(data, resource.size))) {
            *error = name + " is damaged: " +
                     (resource.size == 0 ? "it is empty" : "its bitmap header is not whole");
            return false;
        }
    }
    return true;
}
