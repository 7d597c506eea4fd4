#pragma once

#include "app/language.h"

// The language libraries as Windows has them: loaded by name with LoadLibraryA, the resource
// module in force being the one the framework loads strings and templates from.
class CResourceModules : public app::ResourceModules {
  public:
    Module Own() override;
    Module Load(const char* library) override;
    void Free(Module module) override;
    Module InForce() override;
    void SetInForce(Module module) override;
};
