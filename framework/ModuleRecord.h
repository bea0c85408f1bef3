#pragma once
#include <windows.h>

// The framework's record of the module whose resources it loads: every
// dialog template, bitmap and icon comes through ResourceInstance().
// It is the program's own module, known from the start of static
// construction, so process-wide objects may load resources in their
// constructors.
class ModuleRecord
{
public:
    ModuleRecord() : resourceInstance_(GetModuleHandleA(nullptr)) {}

    HINSTANCE ResourceInstance() const { return resourceInstance_; }
    HINSTANCE ModuleInstance() const { return resourceInstance_; }

private:
    HINSTANCE resourceInstance_;
};

// Defined by the program beside its other process-wide objects, first of all.
extern ModuleRecord g_moduleRecord;
