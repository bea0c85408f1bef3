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
    ModuleRecord() : m_resourceInstance(GetModuleHandleA(nullptr)) {}

    HINSTANCE ResourceInstance() const { return m_resourceInstance; }
    HINSTANCE ModuleInstance() const { return m_resourceInstance; }

private:
    HINSTANCE m_resourceInstance;
};

// Defined by the program beside its other process-wide objects, first of all.
extern ModuleRecord g_moduleRecord;
