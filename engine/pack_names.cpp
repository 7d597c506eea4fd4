#include "engine/pack_names.h"

#include "engine/cp1252.h"

namespace {

std::string UpperCase(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        c = static_cast<char>(Cp1252UpperCase(static_cast<uint8_t>(c)));
    }
    return upper;
}

// Windows opens the device, not a file, for these base names whatever the extension; trailing
// blanks before the extension are ignored as well. The superscript digits (cp1252 0xB9, 0xB2,
// 0xB3) count as digits here.
bool IsDeviceName(std::string_view name) {
    std::string base = UpperCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return true;
    }
    if (base.size() != 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)) {
        return false;
    }
    uint8_t digit = static_cast<uint8_t>(base[3]);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

NameFault CheckBytes(std::string_view name) {
    for (char c : name) {
        uint8_t byte = static_cast<uint8_t>(c);
        if (byte == '/' || byte == '\\') {
            return NameFault::kPathSeparator;
        }
        if (byte == ':') {
            return NameFault::kColon;
        }
        if (byte < 0x20) {
            return NameFault::kControlByte;
        }
        if (byte == '<' || byte == '>' || byte == '"' || byte == '|' || byte == '?' ||
            byte == '*') {
            return NameFault::kForbiddenCharacter;
        }
    }
    return NameFault::kNone;
}

}  // namespace

NameFault CheckName(std::string_view name, PackEntryKind kind) {
    if (kind == PackEntryKind::kUp) {
        return NameFault::kNone;
    }
    if (name.size() > kPackMaxNameLength) {
        return NameFault::kTooLong;
    }
    if (name.empty()) {
        return NameFault::kEmpty;
    }
    if (NameFault fault = CheckBytes(name); fault != NameFault::kNone) {
        return fault;
    }
    if (name == "." || name == "..") {
        return NameFault::kDotName;
    }
    if (name.back() == '.' || name.back() == ' ') {
        return NameFault::kTrailingDotOrBlank;
    }
    return IsDeviceName(name) ? NameFault::kDeviceName : NameFault::kNone;
}

NameFault CheckEntryName(const PackEntry& entry) {
    if (!entry.NameTerminated()) {
        return NameFault::kNotTerminated;
    }
    return CheckName(entry.Name(), entry.Kind());
}

const char* NameFaultMessage(NameFault fault) {
    switch (fault) {
        case NameFault::kNone:
            return "name is valid";
        case NameFault::kNotTerminated:
            return "name has no terminating zero within its 60 bytes";
        case NameFault::kTooLong:
            return "name is longer than 59 bytes";
        case NameFault::kEmpty:
            return "name is empty";
        case NameFault::kPathSeparator:
            return "name contains a path separator";
        case NameFault::kColon:
            return "name contains a colon (drive or stream separator)";
        case NameFault::kControlByte:
            return "name contains a control character";
        case NameFault::kForbiddenCharacter:
            return "name contains a character Windows does not allow in names (< > \" | ? *)";
        case NameFault::kDotName:
            return "name is \".\" or \"..\" outside an up entry";
        case NameFault::kTrailingDotOrBlank:
            return "name ends in a dot or a blank";
        case NameFault::kDeviceName:
            return "name is reserved by Windows for a device";
    }
    return "unknown name fault";
}

const char* WalkFaultMessage(WalkFault fault) {
    switch (fault) {
        case WalkFault::kNone:
            return "walk is balanced";
        case WalkFault::kAboveInstallFolder:
            return "up entry climbs above the install folder";
        case WalkFault::kNameClash:
            return "name is used twice in one folder (Windows ignores case)";
        case WalkFault::kUnbalanced:
            return "walk does not end in the install folder (a folder entry has no up entry)";
    }
    return "unknown walk fault";
}

PackWalk::PackWalk() : folders_(1), path_{0} {}

WalkFault PackWalk::Step(const PackEntry& entry) {
    return Step(entry.Name(), entry.Kind());
}

WalkFault PackWalk::Step(std::string_view name, PackEntryKind kind) {
    if (kind == PackEntryKind::kUp) {
        if (path_.size() == 1) {
            return WalkFault::kAboveInstallFolder;
        }
        path_.pop_back();
        return WalkFault::kNone;
    }
    Folder& current = folders_[path_.back()];
    std::string upper = UpperCase(name);
    if (kind == PackEntryKind::kFile) {
        if (current.folders.count(upper) != 0 || !current.files.insert(upper).second) {
            return WalkFault::kNameClash;
        }
        return WalkFault::kNone;
    }
    if (current.files.count(upper) != 0) {
        return WalkFault::kNameClash;
    }
    auto [known, added] = current.folders.emplace(std::move(upper), folders_.size());
    size_t index = known->second;
    if (added) {
        folders_.emplace_back();  // invalidates `current`, used no more
    }
    path_.push_back(index);
    return WalkFault::kNone;
}

WalkFault PackWalk::Finish() const {
    return path_.size() == 1 ? WalkFault::kNone : WalkFault::kUnbalanced;
}
