#include "tests/e2e/driver/data_module.h"

namespace e2e {

DataModule::~DataModule() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

bool DataModule::Open(const std::string& path) {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module_ != nullptr;
}

bool DataModule::Resource(const char* type, int id, std::string* bytes) const {
    HRSRC found = module_ != nullptr ? FindResourceA(module_, MAKEINTRESOURCEA(id), type) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(module_, found) : nullptr;
    const char* data = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) {
        return false;
    }
    bytes->assign(data, SizeofResource(module_, found));
    return true;
}

std::string DataModule::String(UINT id) const {
    char text[512] = "";
    const int length = module_ != nullptr ? LoadStringA(module_, id, text, sizeof(text)) : 0;
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace e2e
