#include "tools/dompack/pack_source.h"

#include <cstring>

#include "engine/pack_format.h"
#include "res/resource_ids.h"
#include "tools/dompack/commands.h"

namespace {

// Empty when a resource's bytes (`size` of them, at least 1) are whole, else what is wrong with
// them; `image` holds the resources it names, `id` is its own.
using FaultCheck = std::string (*)(const PeImage& image, uint32_t id, const uint8_t* data,
                                   uint32_t size);

struct NeededResource {
    const char* type;  // a name, or "#N" for the numbered type N
    const char* label;
    uint32_t id;
    FaultCheck fault;  // nullptr: any bytes will do
};

// Standard resource types by number.
constexpr char kBitmap[] = "#2";
constexpr char kIcon[] = "#3";
constexpr char kDialog[] = "#5";
constexpr char kStringBlock[] = "#6";
constexpr char kIconGroup[] = "#14";
constexpr uint32_t kStringsPerBlock = 16;
// The block of the string table that holds strings 1 to 8 (16 strings a block).
constexpr uint32_t kFirstStringBlock = IDS_BROWSE_TITLE / kStringsPerBlock + 1;
constexpr uint32_t kDialogSetFont = 0x40;  // DS_SETFONT: a font follows the title

uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

// A bitmap resource starts with its BITMAPINFOHEADER (or a later version of it), whose first
// field is its own size.
std::string BitmapFault(const PeImage&, uint32_t, const uint8_t* data, uint32_t size) {
    const uint32_t header = size >= 40 ? ReadLe32(data) : 0;
    return (header == 40 || header == 108 || header == 124) && header <= size
               ? ""
               : "its bitmap header is not whole";
}

// Steps `at` over a string of UTF-16 units ending in 0 or, when `ordinal` may stand for it,
// 0xFFFF and a number; false when it runs past `size`.
bool SkipString(const uint8_t* data, uint32_t size, bool ordinal, uint32_t* at) {
    if (ordinal && *at + 2 <= size && Le16(data + *at) == 0xFFFF) {
        *at += 4;
        return *at <= size;
    }
    for (; *at + 2 <= size; *at += 2) {
        if (Le16(data + *at) == 0) {
            *at += 2;
            return true;
        }
    }
    return false;
}

// A dialog template, plain (DLGTEMPLATE) or extended (DLGTEMPLATEEX: version 1, then 0xFFFF): its
// header, menu, class, title and font inside the resource, and an item count from 1 (every
// dialog of the installer has controls) to what the rest of it can hold.
std::string DialogFault(const PeImage&, uint32_t, const uint8_t* data, uint32_t size) {
    const bool extended = size >= 4 && Le16(data) == 1 && Le16(data + 2) == 0xFFFF;
    uint32_t at = extended ? 26 : 18;
    if (size < at) {
        return "its header is cut short";
    }
    const uint32_t style = ReadLe32(data + (extended ? 12 : 0));
    const uint32_t items = Le16(data + (extended ? 16 : 8));
    bool whole = SkipString(data, size, true, &at) && SkipString(data, size, true, &at) &&
                 SkipString(data, size, false, &at);
    if (whole && (style & kDialogSetFont) != 0) {
        at += extended ? 6 : 2;  // the point size (and weight, italic, character set)
        whole = at <= size && SkipString(data, size, false, &at);
    }
    if (!whole) {
        return "its header runs past its end";
    }
    if (items == 0) {
        return "it has no controls";
    }
    const uint32_t smallest_item = extended ? 24 : 18;
    return items > (size - at) / smallest_item
               ? "its " + std::to_string(items) + " controls cannot fit into it"
               : "";
}

// A block of the string table: 16 strings, each its length in UTF-16 units and then the units,
// all inside the block; the installer's own strings are not empty.
std::string StringBlockFault(const PeImage&, uint32_t block, const uint8_t* data, uint32_t size) {
    uint32_t at = 0;
    for (uint32_t i = 0; i < kStringsPerBlock; ++i) {
        const uint32_t id = (block - 1) * kStringsPerBlock + i;
        if (size - at < 2 || Le16(data + at) * 2 > size - at - 2) {
            return "string " + std::to_string(id) + " runs past its end";
        }
        const uint32_t length = Le16(data + at);
        if (length == 0 && id >= IDS_BROWSE_TITLE && id <= IDS_LANGUAGE_SELECTION) {
            return "string " + std::to_string(id) + " is empty";
        }
        at += 2 + length * 2;
    }
    return "";
}

// An icon group: its directory (reserved, type 1, count, then 14 bytes for each image, the
// image's id last) inside the resource, and every image it names there.
std::string IconGroupFault(const PeImage& image, uint32_t, const uint8_t* data, uint32_t size) {
    constexpr uint32_t kEntrySize = 14;
    const uint32_t count = size >= 6 && Le16(data + 2) == 1 ? Le16(data + 4) : 0;
    if (count == 0 || count > (size - 6) / kEntrySize) {
        return "its directory is not whole";
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t id = Le16(data + 6 + i * kEntrySize + 12);
        const std::string name = "the icon image " + std::to_string(id) + " it names";
        PeResource icon;
        std::string fault;
        const bool found = image.FindResource(kIcon, id, &icon, &fault);
        if (!fault.empty()) {
            return name + " is damaged: " + fault;
        }
        if (!found || icon.size == 0) {
            return name + (found ? " is empty" : " is missing");
        }
    }
    return "";
}

constexpr NeededResource kNeeded[] = {
    {kDialog, "dialog", IDD_MENU_SCREEN, DialogFault},
    {kDialog, "dialog", IDD_DISK_SPACE, DialogFault},
    {kDialog, "dialog", IDD_EXIT_INSTALL, DialogFault},
    {kDialog, "dialog", IDD_CREATE_DIR_ERROR, DialogFault},
    {kDialog, "dialog", IDD_OVERWRITE, DialogFault},
    {kDialog, "dialog", IDD_DISK_FULL, DialogFault},
    {kDialog, "dialog", IDD_DELETE_SAVES, DialogFault},
    {kDialog, "dialog", IDD_PLATFORM_ERROR, DialogFault},
    {kDialog, "dialog", IDD_UNINSTALL_CONFIRM, DialogFault},
    {kDialog, "dialog", IDD_DAMAGED_PAYLOAD, DialogFault},
    {kDialog, "dialog", IDD_INSTALL_ERROR, DialogFault},
    {kDialog, "dialog", IDD_UNINSTALL_DONE, DialogFault},
    {kDialog, "dialog", IDD_DESKTOP_SHORTCUT, DialogFault},
    {kBitmap, "bitmap", IDB_BACKGROUND, BitmapFault},
    {kBitmap, "bitmap", IDB_FONT_NORMAL, BitmapFault},
    {kBitmap, "bitmap", IDB_FONT_MASK, BitmapFault},
    {kBitmap, "bitmap", IDB_FONT_DISABLED, BitmapFault},
    {kBitmap, "bitmap", IDB_FONT_HOVER, BitmapFault},
    {kBitmap, "bitmap", IDB_FONT_PRESSED, BitmapFault},
    {kBitmap, "bitmap", IDB_PROGRESS_MASK, BitmapFault},
    {kBitmap, "bitmap", IDB_PROGRESS_LIT, BitmapFault},
    {kBitmap, "bitmap", IDB_PROGRESS_UNLIT, BitmapFault},
    {"PROPTABLE", "glyph table PROPTABLE", IDR_FONT_TABLE, nullptr},
    {"TEXT", "ReadMe TEXT", IDR_README, nullptr},
    {kStringBlock, "string table block", kFirstStringBlock, StringBlockFault},
    {kIconGroup, "icon", IDI_MAINFRAME, IconGroupFault},
};

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
        if (resource.size == 0) {
            fault = "it is empty";
        } else if (needed.fault != nullptr) {
            fault =
                needed.fault(image, needed.id, image.data() + resource.file_offset, resource.size);
        }
        if (!fault.empty()) {
            *error = name + " is damaged: " + fault;
            return false;
        }
    }
    return true;
}
